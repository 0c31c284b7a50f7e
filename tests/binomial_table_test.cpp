#include "curve/bezier_curve.h"
#include "curve/binomial_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

TEST(BinomialTable, GrowsOnlyAsFarAsAsked)
{
    BinomialTable table;
    EXPECT_EQ(table.get_num_rows(), 0u);

    EXPECT_EQ(table.get(0, 0), 1u);
    EXPECT_EQ(table.get_num_rows(), 2u);

    EXPECT_EQ(table.get(5, 2), 10u);
    EXPECT_EQ(table.get_num_rows(), 6u);

    EXPECT_EQ(table.get(4, 4), 1u);
    EXPECT_EQ(table.get_num_rows(), 6u);

    table.add_row();
    EXPECT_EQ(table.get_num_rows(), 7u);
    EXPECT_EQ(table.get(6, 3), 20u);
}

TEST(BinomialTable, KBeyondNThrowsOutOfRange)
{
    BinomialTable table;
    EXPECT_THROW(table.get(3, 4), std::out_of_range);
    EXPECT_EQ(table.get_num_rows(), 4u);
    EXPECT_THROW(binomial(2, 3), std::out_of_range);
}

TEST(BinomialTable, EntriesArePascalModulo2To32)
{
    // Exact 64-bit coefficients hold through row 67.
    std::vector<std::uint64_t> exact(1, 1);
    BinomialTable table;
    for (std::uint32_t n = 0; n <= 67; ++n) {
        for (std::uint32_t k = 0; k <= n; ++k)
            ASSERT_EQ(table.get(n, k), static_cast<std::uint32_t>(exact[k])) << n << ' ' << k;
        std::vector<std::uint64_t> next(n + 2, 1);
        for (std::uint32_t k = 1; k <= n; ++k)
            next[k] = exact[k - 1] + exact[k];
        exact = next;
    }
}

TEST(BinomialTable, SignedResultsAreExactThroughRow33)
{
    EXPECT_EQ(binomial(0, 0), 1);
    EXPECT_EQ(binomial(33, 16), 1166803110);
    EXPECT_EQ(binomial(33, 17), 1166803110);
    EXPECT_EQ(binomial(33, 0), 1);
    // Row 34 fits 32 unsigned bits but not a signed int.
    BinomialTable table;
    EXPECT_EQ(table.get(34, 17), 2333606220u);
}

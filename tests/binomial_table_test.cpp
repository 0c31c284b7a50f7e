#include "curve/bezier_curve.h"
#include "curve/binomial_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

// Rows are built as far as asked and no further; a k past row n throws, and
// the rows up to n stay built.
TEST(BinomialTable, GrowsOnlyAsFarAsAskedAndThrowsForKBeyondN)
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
    EXPECT_THROW(table.get(8, 9), std::out_of_range);
    EXPECT_EQ(table.get_num_rows(), 9u);
    EXPECT_THROW(binomial(2, 3), std::out_of_range);
}

// Exact 64-bit coefficients hold through row 67: the table's entries are
// theirs modulo 2^32, and the signed results theirs through row 33 (row 34
// fits 32 unsigned bits but not a signed int).
TEST(BinomialTable, EntriesArePascalModulo2To32AndSignedExactThroughRow33)
{
    std::vector<std::uint64_t> exact(1, 1);
    BinomialTable table;
    for (std::uint32_t n = 0; n <= 67; ++n) {
        for (std::uint32_t k = 0; k <= n; ++k) {
            ASSERT_EQ(table.get(n, k), static_cast<std::uint32_t>(exact[k])) << n << ' ' << k;
            if (n <= 33) {
                ASSERT_EQ(binomial(n, k), static_cast<std::int64_t>(exact[k])) << n << ' ' << k;
            }
        }
        std::vector<std::uint64_t> next(n + 2, 1);
        for (std::uint32_t k = 1; k <= n; ++k)
            next[k] = exact[k - 1] + exact[k];
        exact = next;
    }
}

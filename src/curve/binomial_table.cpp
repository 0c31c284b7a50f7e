#include "curve/binomial_table.h"

#include <utility>

void BinomialTable::add_row()
{
    if (num_rows == 0) {
        std::vector<std::uint32_t> first_row(1, 1u);
        rows.push_back(std::move(first_row));
        num_rows = 1;
    }

    const std::vector<std::uint32_t>& last = rows[num_rows - 1];
    std::vector<std::uint32_t> next_row(num_rows + 1);
    next_row[0] = 1u;
    for (std::uint32_t i = 1; i < num_rows; ++i)
        next_row[i] = last[i - 1] + last[i];
    next_row[num_rows] = 1u;

    rows.push_back(std::move(next_row));
    ++num_rows;
}

std::uint32_t BinomialTable::get(std::uint32_t n, std::uint32_t k)
{
    while (n >= num_rows)
        add_row();
    return rows.at(n).at(k);
}

const std::uint32_t* BinomialTable::row(std::uint32_t n)
{
    while (n >= num_rows)
        add_row();
    return rows[n].data();
}

#ifndef ORRINADE_CURVE_BINOMIAL_TABLE_H
#define ORRINADE_CURVE_BINOMIAL_TABLE_H

#include <cstdint>
#include <vector>

// Rows of Pascal's triangle, grown on demand and never shrunk.
//
// Row r holds C(r, 0) .. C(r, r). Entries are sums taken modulo 2^32, so they
// are the exact coefficients through row 34 (C(34, 17) = 2333606220 still fits
// 32 unsigned bits); from row 35 on the central entries wrap.
class BinomialTable {
public:
    BinomialTable() : num_rows(0) {}
    ~BinomialTable() {}

    // Appends the next row; an empty table gets the two rows (1) and (1, 1).
    void add_row();

    // C(n, k), growing the table until row n exists. Requires k <= n: a k
    // outside row n throws std::out_of_range.
    std::uint32_t get(std::uint32_t n, std::uint32_t k);

    // Row n, grown as get does. A row's entries never move once built, so the
    // pointer stays valid while the table lives.
    const std::uint32_t* row(std::uint32_t n);

    std::uint32_t get_num_rows() const { return num_rows; }

private:
    std::uint32_t num_rows;
    std::vector<std::vector<std::uint32_t>> rows;
};

#endif

// Writes a workbook of known cells for workbook_check.py to read back:
//   workbook_sample OUT.xlsx
#include <cmath>
#include <iostream>
#include <limits>
#include <string>

#include "base/errors.h"
#include "export/workbook.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: workbook_sample OUT.xlsx\n";
        return 2;
    }
    using orvix::stats::TCell;
    orvix::workbook::TTable table;
    table.Header = {"file", "FileTag", "N+", "impulsivity", "accuracy", "empty", "status"};
    // Cells that a CSV reader in a Russian locale gets wrong, and a whole number next to reals.
    table.Rows.push_back({TCell::Of("in/a,b \"q\".klp"), TCell::Of("Кузнецов Е.В., 10.03.2026"),
                          TCell::Whole(42), TCell::Real(0.1), TCell::Real(2.0 / 3.0, 10), TCell{},
                          TCell::Of("ok")});
    // Statistics written with 10 significant digits hold those digits in the sheet too; a
    // number that is not finite stays as its text; one of 17 significant digits is kept to
    // 16; a text longer than a cell takes is cut.
    table.Rows.push_back({TCell::Of("b.klp"), TCell::Of(""), TCell::Whole(-7),
                          TCell::Real(std::numeric_limits<double>::infinity()),
                          TCell::Real(123456.789012345, 10), TCell::Real(0.1 + 0.2),
                          TCell::Of(std::string(40000, 'x'))});
    // A short row: the cells it lacks stay empty.
    table.Rows.push_back({TCell::Of("c.klp"), TCell::Of("tag")});
    try {
        orvix::workbook::WriteWorkbook(argv[1], table, "Сводка");
    } catch (const orvix::Exception& e) {
        std::cerr << e.Message() << "\n";
        return 1;
    }
    return 0;
}

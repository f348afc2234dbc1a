#pragma once
// Orders for the statement tests, built straight in the order model as the title entry screen
// and the main screen's refresh would leave them; no window is needed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/fee/order_model.h"
#include "app/fee/order_totals.h"
#include "app/fee/title_amounts.h"
#include "tests/support/fresh_order.h"

struct DocTitle {
    const char* name = "title";
    int course = 3;
    int dpi = 156;
    bool works = false, noSpread = false, trim = false, noMoire = false;
    float compensation = 0;
};

// Appends a title to its kind, priced as the title entry screen leaves it.
inline void AddDocTitle(int kind, const DocTitle& t) {
    CUR_KIND = kind;
    CUR_TITLE = TITLE_COUNT(kind);
    変数_RESETSUB();
    const int i = CUR_TITLE;
    TITLE_NAME(i, kind) = t.name;
    LIST_PRICE(i, kind) = 1000;
    COURSE(i, kind) = t.course;
    TITLE_DPI(i, kind) = t.dpi;
    OPT_WORKS(i, kind) = t.works ? 1 : 0;
    OPT_NO_SPREAD(i, kind) = t.noSpread ? 1 : 0;
    OPT_TRIM(i, kind) = t.trim ? 1 : 0;
    OPT_NO_MOIRE(i, kind) = t.noMoire ? 1 : 0;
    COMPENSATION_AMOUNT(i, kind) = t.compensation;
    RepriceCurrentTitle();
    TITLE_COUNT(kind) = TITLE_COUNT(kind) + 1;
}

// The figures of the main screen's refresh, in its order, without the screen.
inline void RefreshTotals() {
    for (CUR_KIND = 0; CUR_KIND < kKindCount; ++CUR_KIND) 小合計_SUB();
    ComputeOrderFigures();
}

// A run of half-width blanks, for the long paddings of the goldens.
inline std::string Blanks(int n) { return std::string(static_cast<size_t>(n), ' '); }

// The CR LF-terminated lines of a statement text; a text not ending in CR LF fails the test.
inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the text ends with CR LF";
    return lines;
}

class DocumentTest : public FreshOrder {};

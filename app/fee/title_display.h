#pragma once
// The title entry screen's figures (FORM3): the prices of the current title and its total.
// Full-width digits without "円", as the boxes' captions carry the unit.

// Runs 基本金額_SUB on the typed price and pages and shows the reference price (TEXT21), the
// course fees (TEXT25, TEXT27, TEXT29: scan and rebinding together) and the basic amount
// (TEXT23).
void 基本金額表示_SUB();

// Runs オプション金額_SUB and タイトル別合計_SUB and shows the title total in TEXT38. The option
// amounts and BASIC_AMOUNT must already belong to the current title.
void タイトル別合計表示_SUB();

#pragma once
// Pricing one title: the title named by CUR_TITLE and CUR_KIND. The routines hand their results
// to one another through the working values of the order model (REF_PRICE, the three course
// fees, BASIC_AMOUNT, the option amounts), so they must run in one of two orders:
//
//   recomputing a stored title:  基本金額_SUB1, オプション金額_SUB1, オプション金額_SUB,
//                                タイトル別合計_SUB
//   on the title entry screen:   基本金額表示_SUB, the resolution and option handlers,
//                                タイトル別合計表示_SUB
//
// Only TITLE_TOTAL, LIST_PRICE and PAGE_COUNT are kept per title; everything else belongs to
// whichever title was computed last.

// REF_PRICE, the reference price shown to the customer. It enters no amount.
void 基準価格_SUB();

// CUT_FEE, SCAN_FEE, REBIND_FEE of the title's kind, and COURSE_FEE of its course.
void コース料_SUB();

// 基準価格_SUB, コース料_SUB, then BASIC_AMOUNT ← COURSE_FEE.
void 基本金額_SUB1();

// Takes the typed price (EDIT2) and page count (EDIT3) of FORM3 into the title, then
// 基本金額_SUB1.
void 基本金額_SUB();

// OPT_DPI_FEE for CUR_DPI: table A (オプション7_SUB1) or table B (オプション7_SUB2).
void オプション7_SUB1();
void オプション7_SUB2();

// The four option amounts from the title's stored flags and resolution. Needs SCAN_FEE of the
// same title.
void オプション金額_SUB1();

// OPTION_AMOUNT ← the sum of the four option amounts.
void オプション金額_SUB();

// TITLE_TOTAL(CUR_TITLE, CUR_KIND) ← BASIC_AMOUNT + OPTION_AMOUNT.
void タイトル別合計_SUB();

// The first order above: the current title priced again from its stored choices, as after
// loading an order and for the work-fee details.
void RepriceCurrentTitle();

// What the Qt back end reports of real user input, and what it keeps quiet about.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include "runtime/backends/qt/qt_widgets.h"
#include "tests/qt/qt_test_support.h"

namespace {

using kvtest::Q;
using Events = std::vector<std::string>;
using rt::ControlKind;

using QtEvents = kvtest::FormFixture;

TEST_F(QtEvents, OptionButtonsAreExclusiveWithinTheirGroupBox) {
    Show();
    Click(radio2);
    EXPECT_EQ(platform.GetCheck(radio2), 1);
    EXPECT_EQ(platform.GetCheck(radio1), 0);
    EXPECT_EQ(platform.GetCheck(radio5), 1);  // the course is another choice
    EXPECT_EQ(sink.events, (Events{"Clicked RADIO2"}));

    Click(radio2);  // clicking the chosen one keeps it chosen
    EXPECT_EQ(platform.GetCheck(radio2), 1);
    Click(radio3);
    EXPECT_EQ(platform.GetCheck(radio3), 1);
    EXPECT_EQ(platform.GetCheck(radio5), 0);
    EXPECT_EQ(platform.GetCheck(radio2), 1);
    EXPECT_EQ(sink.events, (Events{"Clicked RADIO2", "Clicked RADIO2", "Clicked RADIO3"}));
}

TEST_F(QtEvents, TheProgramMayCheckTwoOptionButtonsOrNone) {
    Show();
    platform.SetCheck(radio2, 1);
    EXPECT_EQ(platform.GetCheck(radio1), 1);
    platform.SetCheck(radio1, 0);
    platform.SetCheck(radio2, 0);
    EXPECT_EQ(platform.GetCheck(radio1) + platform.GetCheck(radio2), 0);
    EXPECT_TRUE(sink.events.empty());
    platform.SetCheck(radio1, 1);
    platform.SetCheck(radio2, 1);
    Click(radio2);  // the user's click leaves one
    EXPECT_EQ(platform.GetCheck(radio1), 0);
}

TEST_F(QtEvents, MovingAnOptionButtonIntoAnotherBoxRegroupsIt) {
    Show();
    platform.SetGeometry(radio3, {216, 88, 96, 16});  // into GROUP1
    Click(radio3);
    EXPECT_EQ(platform.GetCheck(radio1), 0);
    EXPECT_EQ(platform.GetCheck(radio5), 1);
    // A group box made later still groups the buttons inside it.
    const rt::WinHandle radio6 = Control(ControlKind::OptionButton, 0x50010009, {30, 170, 80, 16}, "A", "RADIO6");
    const rt::WinHandle radio7 = Control(ControlKind::OptionButton, 0x50010009, {30, 195, 80, 16}, "B", "RADIO7");
    platform.SetCheck(radio6, 1);
    Control(ControlKind::GroupBox, 0x50000007, {20, 150, 150, 80}, "C", "GROUP3");
    Click(radio7);
    EXPECT_EQ(platform.GetCheck(radio6), 0);
    EXPECT_EQ(platform.GetCheck(radio3), 1);
    // The group box is behind its buttons, which stay clickable.
    EXPECT_EQ(W(form)->childAt(QPoint(35, 203)), W(radio7));
}

TEST_F(QtEvents, CheckBoxesReportTheClickAfterToggling) {
    Show();
    int stateWhenReported = -1;
    sink.onNotify = [&](rt::WinHandle h, rt::Notification what) {
        if (h == check1 && what == rt::Notification::Clicked) stateWhenReported = platform.GetCheck(check1);
    };
    Click(check1);
    EXPECT_EQ(stateWhenReported, 1);
    Click(check1);
    EXPECT_EQ(stateWhenReported, 0);
    platform.SetCheck(check1, 1);
    EXPECT_EQ(sink.events, (Events{"Clicked CHECK1", "Clicked CHECK1"}));
}

TEST_F(QtEvents, DigitBoxesTakeDigitsUpToTheirLimit) {
    Show();
    QTest::keyClicks(W(edit2), QStringLiteral("12a3456"));
    EXPECT_EQ(platform.GetText(edit2), "12345");
    EXPECT_EQ(sink.Without("Key"), Events(5, "EditChanged EDIT2"));
    sink.events.clear();
    QTest::keyClick(W(edit2), Qt::Key_Backspace);
    EXPECT_EQ(platform.GetText(edit2), "1234");
    EXPECT_EQ(sink.events, (Events{"EditChanged EDIT2"}));
}

TEST_F(QtEvents, TitleBoxTakesJapaneseButNothingShiftJisLacks) {
    Show();
    // Japanese arrives from the input method, a conversion at a time.
    for (const char8_t* piece : {u8"ワンピース", u8"€", u8"１巻"}) {
        QInputMethodEvent commit;
        commit.setCommitString(Q(piece));
        QApplication::sendEvent(W(edit1), &commit);
    }
    EXPECT_EQ(platform.GetText(edit1), "ワンピース１巻");
    // A text the program sets is reported as a change, and is not cut to the limit.
    sink.events.clear();
    platform.SetMaxLength(edit1, 4);
    platform.SetText(edit1, "ワンピース");
    EXPECT_EQ(platform.GetText(edit1), "ワンピース");
    EXPECT_EQ(sink.events, (Events{"EditChanged EDIT1"}));
}

TEST_F(QtEvents, ProgramChangesRaiseNothing) {
    Show();
    platform.SetText(text38, "１２３");
    platform.SetText(edit6, "明細");
    platform.SetText(combo1, "2512310130");
    platform.SetText(button12, "実行");
    platform.SetCheck(check1, 1);
    platform.ListAdd(list1, "コミック");
    platform.ListSetCurSel(list1, 0);
    platform.ListAdd(combo1, "2512310130");
    platform.ListSetCurSel(combo1, 0);
    platform.SetScrollPos(hscroll1, 300);
    platform.SetScrollRange(hscroll1, 50, 200);
    platform.SetFocus(edit1);
    platform.SetFocus(combo1);
    platform.SetEditSel(edit1, 0, -1);
    kvtest::Settle(platform);
    EXPECT_TRUE(sink.events.empty()) << sink.events.front();
    EXPECT_EQ(platform.ScrollPos(hscroll1), 200);  // kept within the new range
    EXPECT_EQ(platform.Focus(), combo1);
}

TEST_F(QtEvents, ListsReportEveryClickAndDoubleClick) {
    Show();
    for (const char* title : {"タイトル１", "タイトル２", "タイトル３"}) platform.ListAdd(list1, title);
    auto* list = static_cast<QListWidget*>(W(list1));
    const QPoint second = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(platform.ListCurSel(list1), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);  // the same title again
    // A double click: a click, then the double-click press.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(sink.Without("SetFocus"), (Events{"SelChanged LIST1", "SelChanged LIST1", "SelChanged LIST1",
                                                "DoubleClicked LIST1"}));
    sink.events.clear();
    // The keys only move the selection; nothing is reported as a click.
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(platform.ListCurSel(list1), 2);
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(platform.ListCurSel(list1), 2);
    EXPECT_EQ(sink.events, (Events{"SelMoved LIST1", "SelMoved LIST1", "SelMoved LIST1"}));
    EXPECT_EQ(platform.ListItem(list1, 2), "タイトル３");
    platform.ListSetCurSel(list1, -1);
    EXPECT_EQ(platform.ListCurSel(list1), -1);
}

TEST_F(QtEvents, MultipleSelectionListsToggleOnClickAndListsWithoutNotifyStayQuiet) {
    const rt::WinHandle list2 = Control(ControlKind::ListBox, 0x50a10009, {24, 64, 176, 120}, "", "LIST2");
    const rt::WinHandle list3 = Control(ControlKind::ListBox, 0x50800000, {336, 64, 176, 106}, "", "LIST3");
    Show();
    for (const char* item : {"書名", "著者", "価格"}) {
        platform.ListAdd(list2, item);
        platform.ListAdd(list3, item);
    }
    auto* list = static_cast<QListWidget*>(W(list2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    EXPECT_TRUE(platform.ListIsSelected(list2, 0));
    EXPECT_FALSE(platform.ListIsSelected(list2, 1));
    EXPECT_TRUE(platform.ListIsSelected(list2, 2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_FALSE(platform.ListIsSelected(list2, 0));
    platform.ListSetSelected(list2, -1, true);
    EXPECT_TRUE(platform.ListIsSelected(list2, 1));
    auto* quiet = static_cast<QListWidget*>(W(list3));
    QTest::mouseClick(quiet->viewport(), Qt::LeftButton, {}, quiet->visualItemRect(quiet->item(1)).center());
    EXPECT_EQ(platform.ListCurSel(list3), 1);
    // LIST3 takes the focus (reported whatever the style) but not its selection.
    EXPECT_EQ(sink.events, (Events{"SetFocus LIST2", "SelChanged LIST2", "SelChanged LIST2", "SelChanged LIST2",
                                   "KillFocus LIST2", "SetFocus LIST3"}));
}

TEST_F(QtEvents, SortedListsAndTheTopItem) {
    const rt::WinHandle sorted = Control(ControlKind::ListBox, 0x50a10003, {20, 20, 100, 40}, "", "SORTED");
    EXPECT_EQ(platform.ListAdd(sorted, "b"), 0);
    EXPECT_EQ(platform.ListAdd(sorted, "d"), 1);
    EXPECT_EQ(platform.ListAdd(sorted, "a"), 0);
    EXPECT_EQ(platform.ListAdd(sorted, "b"), 2);  // after the equal one
    EXPECT_EQ(platform.ListItem(sorted, 3), "d");
    for (int i = 0; i < 20; ++i) platform.ListAdd(list1, "行" + std::to_string(i));
    platform.ListSetTop(list1, 7);  // also while the form is hidden
    EXPECT_EQ(platform.ListTop(list1), 7);
    Show();
    EXPECT_EQ(platform.ListTop(list1), 7);
    platform.ListSetTop(list1, 3);
    EXPECT_EQ(platform.ListTop(list1), 3);
    platform.ListClear(list1);
    EXPECT_EQ(platform.ListCount(list1), 0);
}

TEST_F(QtEvents, ComboBoxesKeepTheirEditFieldAndReportTheUsersChoice) {
    Show();
    auto* combo = static_cast<QComboBox*>(W(combo1));
    platform.SetFocus(combo1);
    platform.SetText(combo1, "25");
    EXPECT_EQ(platform.ListAdd(combo1, "2512310130"), 0);
    EXPECT_EQ(platform.ListAdd(combo1, "2601150240"), 1);
    EXPECT_EQ(platform.GetText(combo1), "25");  // adding leaves the edit field alone
    EXPECT_EQ(platform.ListCurSel(combo1), -1);
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(platform.ListCurSel(combo1), 0);
    EXPECT_EQ(platform.GetText(combo1), "2512310130");
    QTest::keyClick(combo, Qt::Key_F4);
    combo->hidePopup();
    QTest::keyClick(combo->lineEdit(), Qt::Key_End);
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("99"));  // ten characters at most
    EXPECT_EQ(platform.GetText(combo1), "2512310130");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Backspace);
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("9"));
    EXPECT_EQ(platform.GetText(combo1), "2512310139");
    EXPECT_EQ(platform.ListCurSel(combo1), 0);  // typing leaves the choice as it was
    // Its list is part of it: opening and closing the list moves no focus away.
    EXPECT_EQ(sink.events, (Events{"SelChanged COMBO1", "DropDown COMBO1", "ComboEdited COMBO1", "ComboEdited COMBO1"}));
    sink.events.clear();
    platform.ListClear(combo1);
    EXPECT_EQ(platform.GetText(combo1), "");
    EXPECT_EQ(platform.ListCurSel(combo1), -1);
    EXPECT_TRUE(sink.events.empty());
}

class QtScrollBar : public kvtest::FormFixture {
protected:
    rt::qt::ScrollBarWidget* Bar() { return static_cast<rt::qt::ScrollBarWidget*>(W(hscroll1)); }
    void ClickAt(QStyle::SubControl control) {
        QTest::mouseClick(Bar(), Qt::LeftButton, {}, Bar()->SubControlRect(control).center());
    }
};

TEST_F(QtScrollBar, ReportsArrowsAndTroughWithoutMovingItself) {
    Show();
    ClickAt(QStyle::SC_ScrollBarAddLine);
    ClickAt(QStyle::SC_ScrollBarSubLine);
    ClickAt(QStyle::SC_ScrollBarAddPage);
    ClickAt(QStyle::SC_ScrollBarSubPage);
    EXPECT_EQ(platform.ScrollPos(hscroll1), 156);
    EXPECT_EQ(Bar()->value(), 156);
    EXPECT_EQ(Bar()->sliderPosition(), 156);
    EXPECT_EQ(sink.events, (Events{"Scroll HSCROLL1 LineRight 156", "Scroll HSCROLL1 EndScroll 156",
                                   "Scroll HSCROLL1 LineLeft 156", "Scroll HSCROLL1 EndScroll 156",
                                   "Scroll HSCROLL1 PageRight 156", "Scroll HSCROLL1 EndScroll 156",
                                   "Scroll HSCROLL1 PageLeft 156", "Scroll HSCROLL1 EndScroll 156"}));
    // It moves where the window layer puts it.
    sink.onScroll = [&](rt::WinHandle h, rt::ScrollAction action, int) {
        if (action == rt::ScrollAction::PageLeft) platform.SetScrollPos(h, platform.ScrollPos(h) - 16);
    };
    ClickAt(QStyle::SC_ScrollBarSubPage);
    EXPECT_EQ(Bar()->value(), 140);
    EXPECT_EQ(platform.ScrollPos(hscroll1), 140);
}

TEST_F(QtScrollBar, DraggingTheThumbTracksAndEndsWithItsPosition) {
    Show();
    const QPoint from = Bar()->SubControlRect(QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(Bar(), Qt::LeftButton, {}, from);
    for (int dx : {20, 40}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(dx, 0)), Bar()->mapToGlobal(QPointF(from + QPoint(dx, 0))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Bar(), &move);
    }
    const int tracked = Bar()->sliderPosition();
    QTest::mouseRelease(Bar(), Qt::LeftButton, {}, from + QPoint(40, 0));
    const Events events = sink.events;
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].rfind("Scroll HSCROLL1 ThumbTrack ", 0), 0u);
    EXPECT_EQ(events[1], "Scroll HSCROLL1 ThumbTrack " + std::to_string(tracked));
    EXPECT_EQ(events[2], "Scroll HSCROLL1 ThumbPosition " + std::to_string(tracked));
    EXPECT_EQ(events[3], "Scroll HSCROLL1 EndScroll 156");
    EXPECT_GT(tracked, 156);
    // Nobody moved it: the thumb goes back.
    EXPECT_EQ(Bar()->sliderPosition(), 156);
}

TEST_F(QtEvents, TabEnterAndSpaceReachTheWindowLayerFirst) {
    Show();
    platform.SetFocus(edit1);
    QTest::keyClick(W(edit1), Qt::Key_Tab);
    QTest::keyClick(W(edit1), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(platform.Focus(), edit1);  // taken: the window layer moves the focus itself
    platform.SetFocus(button12);
    QTest::keyClick(W(button12), Qt::Key_Return);
    EXPECT_EQ(sink.events, (Events{"Key EDIT1 Tab press", "Key EDIT1 Tab release", "Key EDIT1 Tab shift press",
                                   "Key EDIT1 Tab shift release", "Key BUTTON12 Enter press",
                                   "Key BUTTON12 Enter release"}));
    // Keys the window layer leaves alone do what the control does with them.
    sink.events.clear();
    sink.takeKeys = false;
    platform.SetFocus(check1);
    QTest::keyClick(W(check1), Qt::Key_Space);
    EXPECT_EQ(platform.GetCheck(check1), 1);
    EXPECT_EQ(sink.events, (Events{"Key CHECK1 Space press", "Key CHECK1 Space release", "Clicked CHECK1"}));
}

TEST_F(QtEvents, FocusLeavesBeforeTheClickIsReported) {
    Show();
    platform.SetFocus(edit1);
    Click(edit2);
    Click(button12);
    EXPECT_EQ(sink.events, (Events{"KillFocus EDIT1", "SetFocus EDIT2", "KillFocus EDIT2", "Clicked BUTTON12"}));
}

TEST_F(QtEvents, WaitForInputReturnsWithTheInputOrSoonWithout) {
    Show();
    QElapsedTimer idle;
    idle.start();
    EXPECT_TRUE(platform.WaitForInput());
    EXPECT_LT(idle.elapsed(), 1000);
    QTimer::singleShot(30, [&] { Click(radio2); });
    for (int i = 0; i < 40 && sink.events.empty(); ++i) platform.WaitForInput();
    EXPECT_EQ(sink.events, (Events{"Clicked RADIO2"}));
}

TEST_F(QtEvents, TheCloseBoxOnlyAsks) {
    Show();
    W(form)->close();
    EXPECT_TRUE(W(form)->isVisible());
    EXPECT_EQ(sink.events, (Events{"Close FORM3"}));
}

}  // namespace

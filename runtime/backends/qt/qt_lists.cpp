// List boxes, combo boxes and scroll bars.
#include <QComboBox>
#include <QLineEdit>

#include "runtime/backends/qt/qt_window.h"
#include "runtime/values/text.h"

namespace rt {
namespace {

using qt::LineEnds;

constexpr int kItemBytes = Qt::UserRole;

std::string BytesOf(const QVariant& data) {
    const QByteArray bytes = data.toByteArray();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Where a sorted list takes a new item: after the items it does not sort before, in the
// runtime's own text order (the headless back end sorts the same way).
template <class ItemAt>
int SortedIndex(int count, const std::string& item, ItemAt itemAt) {
    int index = 0;
    while (index < count && TextCompare(Text(item), Text(itemAt(index))) >= 0) ++index;
    return index;
}

}  // namespace

int QtPlatform::ListAdd(WinHandle w, const std::string& item) {
    Window* win = Built(w);  // the index it answers is the widget's
    if (!win) return -1;
    ProgramChange change(*this);
    const QString text = qt::FromSjis(item);
    const QByteArray bytes(item.data(), static_cast<qsizetype>(item.size()));
    if (win->IsList()) {
        auto* list = static_cast<qt::ListWidget*>(win->widget.data());
        const int index = (win->style & style::kLbsSort)
                              ? SortedIndex(list->count(), item, [&](int i) { return BytesOf(list->item(i)->data(kItemBytes)); })
                              : list->count();
        auto* entry = new QListWidgetItem(text);
        entry->setData(kItemBytes, bytes);
        list->insertItem(index, entry);
        return index;
    }
    if (win->IsCombo()) {
        auto* combo = static_cast<QComboBox*>(win->widget.data());
        const int index = (win->style & style::kCbsSort)
                              ? SortedIndex(combo->count(), item, [&](int i) { return BytesOf(combo->itemData(i, kItemBytes)); })
                              : combo->count();
        // Adding an item leaves the edit field and the choice alone (Qt would choose the first
        // item added to an empty list).
        const QString editText = combo->lineEdit()->text();
        const int current = combo->currentIndex();
        combo->insertItem(index, text, bytes);
        const int shifted = current >= index ? current + 1 : current;
        if (combo->currentIndex() != (current < 0 ? -1 : shifted)) combo->setCurrentIndex(current < 0 ? -1 : shifted);
        if (combo->lineEdit()->text() != editText) combo->lineEdit()->setText(editText);
        return index;
    }
    return -1;
}

void QtPlatform::ListClear(WinHandle w) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w] { ListClear(w); })) return;
    ProgramChange change(*this);
    if (win->IsList()) static_cast<QListWidget*>(win->widget.data())->clear();
    if (win->IsCombo()) {
        // Clearing a combo box's list also empties its edit field.
        auto* combo = static_cast<QComboBox*>(win->widget.data());
        combo->clear();
        combo->lineEdit()->clear();
        win->comboTop = 0;
    }
}

int QtPlatform::ListCount(WinHandle w) const {
    const Window* win = Built(w);
    if (!win) return 0;
    if (win->IsList()) return static_cast<QListWidget*>(win->widget.data())->count();
    if (win->IsCombo()) return static_cast<QComboBox*>(win->widget.data())->count();
    return 0;
}

std::string QtPlatform::ListItem(WinHandle w, int index) const {
    const Window* win = Built(w);
    if (!win || index < 0 || index >= ListCount(w)) return {};
    if (win->IsList()) return BytesOf(static_cast<QListWidget*>(win->widget.data())->item(index)->data(kItemBytes));
    return BytesOf(static_cast<QComboBox*>(win->widget.data())->itemData(index, kItemBytes));
}

int QtPlatform::ListCurSel(WinHandle w) const {
    const Window* win = Built(w);
    if (!win) return -1;
    if (win->IsCombo()) return static_cast<QComboBox*>(win->widget.data())->currentIndex();
    if (!win->IsList()) return -1;
    auto* list = static_cast<QListWidget*>(win->widget.data());
    // A multiple-selection list answers with the item that has the caret, as the original's did.
    if (list->selectionMode() != QAbstractItemView::SingleSelection) return list->currentRow();
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

int QtPlatform::ListCaret(WinHandle w) const {
    const Window* win = Built(w);
    if (!win || !win->IsList()) return ListCurSel(w);
    auto* list = static_cast<QListWidget*>(win->widget.data());
    if (list->count() == 0) return -1;
    return list->currentRow() >= 0 ? list->currentRow() : 0;
}

void QtPlatform::ListSetCurSel(WinHandle w, int index) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, index] { ListSetCurSel(w, index); })) return;
    ProgramChange change(*this);
    if (win->IsCombo()) {
        // Choosing an item puts its text into the edit field; -1 empties it.
        auto* combo = static_cast<QComboBox*>(win->widget.data());
        const int target = index >= 0 && index < combo->count() ? index : -1;
        combo->setCurrentIndex(target);
        if (target < 0) combo->lineEdit()->clear();
        return;
    }
    if (!win->IsList()) return;
    auto* list = static_cast<QListWidget*>(win->widget.data());
    if (list->selectionMode() != QAbstractItemView::SingleSelection) {
        if (index >= 0 && index < list->count()) list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
        return;
    }
    if (index < 0 || index >= list->count()) {
        list->clearSelection();
        list->setCurrentRow(-1);
        return;
    }
    list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    list->scrollToItem(list->item(index));
}

void QtPlatform::ListSetTop(WinHandle w, int index) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, index] { ListSetTop(w, index); })) return;
    ProgramChange change(*this);
    if (win->IsList()) static_cast<qt::ListWidget*>(win->widget.data())->SetTopRow(index);
    if (win->IsCombo() && index >= 0 && index < ListCount(w)) win->comboTop = index;
}

int QtPlatform::ListTop(WinHandle w) const {
    const Window* win = Built(w);
    if (!win) return 0;
    if (win->IsList()) return static_cast<qt::ListWidget*>(win->widget.data())->TopRow();
    return win->IsCombo() ? win->comboTop : 0;
}

bool QtPlatform::ListIsSelected(WinHandle w, int index) const {
    const Window* win = Built(w);
    if (!win || !win->IsList()) return false;
    auto* list = static_cast<QListWidget*>(win->widget.data());
    return index >= 0 && index < list->count() && list->item(index)->isSelected();
}

void QtPlatform::ListSetSelected(WinHandle w, int index, bool selected) {
    Window* win = Find(w);
    if (!win || !win->IsList() || Later(*win, [this, w, index, selected] { ListSetSelected(w, index, selected); })) return;
    auto* list = static_cast<QListWidget*>(win->widget.data());
    if (list->selectionMode() == QAbstractItemView::SingleSelection) {
        if (selected) {
            ListSetCurSel(w, index);
        } else if (ListCurSel(w) == index || index < 0) {
            ListSetCurSel(w, -1);
        }
        return;
    }
    ProgramChange change(*this);
    // -1 stands for every item.
    for (int i = 0; i < list->count(); ++i) {
        if (index < 0 || i == index) list->item(i)->setSelected(selected);
    }
}

void QtPlatform::SetScrollRange(WinHandle w, int min, int max) {
    Window* win = Find(w);
    if (!win || !win->IsScrollBar() || Later(*win, [this, w, min, max] { SetScrollRange(w, min, max); })) return;
    ProgramChange change(*this);
    static_cast<qt::ScrollBarWidget*>(win->widget.data())->SetStoredRange(min, max);
}

std::pair<int, int> QtPlatform::ScrollRange(WinHandle w) const {
    const Window* win = Built(w);
    if (!win || !win->IsScrollBar()) return {0, 0};
    auto* bar = static_cast<qt::ScrollBarWidget*>(win->widget.data());
    return {bar->minimum(), bar->maximum()};
}

void QtPlatform::SetScrollPos(WinHandle w, int pos) {
    Window* win = Find(w);
    if (!win || !win->IsScrollBar() || Later(*win, [this, w, pos] { SetScrollPos(w, pos); })) return;
    ProgramChange change(*this);
    static_cast<qt::ScrollBarWidget*>(win->widget.data())->SetStoredPosition(pos);
}

int QtPlatform::ScrollPos(WinHandle w) const {
    const Window* win = Built(w);
    if (!win || !win->IsScrollBar()) return 0;
    return static_cast<qt::ScrollBarWidget*>(win->widget.data())->StoredPosition();
}

}  // namespace rt

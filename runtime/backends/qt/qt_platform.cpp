#include "runtime/backends/qt/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <utility>

#include "runtime/backends/qt/qt_accessible.h"
#include "runtime/backends/qt/qt_first_paint.h"
#include "runtime/backends/qt/qt_fonts.h"
#include "runtime/backends/qt/qt_input.h"
#include "runtime/backends/qt/qt_text.h"
#include "runtime/backends/qt/qt_translation.h"
#include "runtime/backends/qt/qt_window.h"

namespace rt {
namespace {

using qt::FromSjis;
using qt::LineEnds;
using qt::ToSjis;

int g_argc = 1;
char g_arg0[] = "kalvoro";
char* g_argv[] = {g_arg0, nullptr};

// Messages Qt prints for what it cannot do on some platforms, which change nothing the customer
// sees: the offscreen platform cannot raise a window, and a session without a runtime folder
// gets a temporary one. Everything else Qt says is passed on as before.
QtMessageHandler g_nextHandler = nullptr;

bool Harmless(const QString& message) {
    return message.startsWith(QLatin1String("This plugin does not support ")) ||
           message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"));
}

void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtCriticalMsg && type != QtFatalMsg && Harmless(message)) return;
    if (g_nextHandler) {
        g_nextHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

QRect ToQt(const Rect& r) { return QRect(r.x, r.y, std::max(r.width, 0), std::max(r.height, 0)); }
Rect FromQt(const QRect& r) { return Rect{r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

QtPlatform::QtPlatform() {
    static const bool filtering = [] {
        g_nextHandler = qInstallMessageHandler(FilterMessages);
        return true;
    }();
    (void)filtering;
    if (!QApplication::instance()) ownApp_ = std::make_unique<QApplication>(g_argc, g_argv);
    // Widgets lay their text out with the application's font as soon as they are made, before
    // the program gives them theirs: with the forms' own face as that font, no other face is
    // opened for it at start.
    QFont base = QApplication::font();
    base.setFamilies({qt::FamilyFor("ＭＳ Ｐゴシック", qt::FontUse::Normal)});
    QApplication::setFont(base);
    translator_ = qt::DesktopTranslation();
    if (translator_) QCoreApplication::installTranslator(translator_.get());
    qt::InstallAccessibleInterfaces();
    accessibleNames_ = QAccessible::isActive();
    accessibilityWatch_ = std::make_unique<qt::AccessibilityWatch>([this](bool active) {
        accessibleNames_ = active;
        if (!active) return;
        for (const auto& [handle, win] : windows_) {
            if (win->Is(ControlKind::Form) && win->controlsBuilt) NameByCaptions(handle);
        }
    });
    keyFilter_ = std::make_unique<QtKeyFilter>(*this);
    qApp->installEventFilter(keyFilter_.get());
    QObject::connect(qApp, &QApplication::focusChanged, keyFilter_.get(),
                     [this](QWidget* old, QWidget* now) { FocusChanged(old, now); });
    wake_ = std::make_unique<QTimer>();
    wake_->setSingleShot(true);
    InstallFirstPaintExit();
}

QtPlatform::~QtPlatform() {
    sink_ = nullptr;
    if (qApp) {
        qApp->removeEventFilter(keyFilter_.get());
        QCoreApplication::removeTranslator(translator_.get());
    }
    accessibilityWatch_.reset();
    keyFilter_.reset();
    dropFilter_.reset();
    while (!windows_.empty()) Destroy(windows_.begin()->first);
    FlushDeletes();
    wake_.reset();
    ownApp_.reset();
}

void QtPlatform::SetSink(EventSink* sink) { sink_ = sink; }

QtPlatform::Window* QtPlatform::Find(WinHandle w) const {
    Window* win = w > 0 && static_cast<size_t>(w) < byHandle_.size() ? byHandle_[static_cast<size_t>(w)] : nullptr;
    return win && (win->widget || win->awaitingWidget) ? win : nullptr;
}

QtPlatform::Window& QtPlatform::WindowAt(WinHandle w) const {
    Window* win = w > 0 && static_cast<size_t>(w) < byHandle_.size() ? byHandle_[static_cast<size_t>(w)] : nullptr;
    return win ? *win : *windows_.at(w);  // at() throws for a handle that is not there
}

QtPlatform::Window* QtPlatform::Built(WinHandle w) const {
    Window* win = Find(w);
    if (win && win->awaitingWidget) {
        const_cast<QtPlatform*>(this)->Build(win->Is(ControlKind::Form) ? *win : WindowAt(win->parent));
    }
    return win && win->widget ? win : nullptr;
}

bool QtPlatform::Later(Window& win, std::function<void()> change) {
    if (!win.awaitingWidget) return false;
    (win.Is(ControlKind::Form) ? win : WindowAt(win.parent)).later.push_back(std::move(change));
    return true;
}

// The widgets of a form and its controls are made when the form is first shown or looked at, not
// at start: the hidden forms' widgets would only delay the main window's first paint. What the
// program did to the controls meanwhile is done again on the widgets, in the same order, so
// that they end as if they had been there all along.
void QtPlatform::Build(Window& form) {
    if (form.controlsBuilt) return;
    form.controlsBuilt = true;
    // The program was told of its changes when it made them (a text set on an edit box).
    const bool outer = std::exchange(building_, true);
    // A change may reach a control whose widget comes later in the list: it is kept again and
    // made in the next round.
    while (!form.later.empty()) {
        const std::vector<std::function<void()>> changes = std::move(form.later);
        form.later.clear();
        for (const auto& change : changes) change();
    }
    building_ = outer;
    LetGrow(form);
    NameByCaptions(form.handle);
}

QWidget* QtPlatform::Widget(WinHandle w) const {
    Window* win = Built(w);
    if (!win) return nullptr;
    // Whoever looks at a widget sees it as the program made it: a form with its controls, each
    // with its font.
    if (win->Is(ControlKind::Form)) const_cast<QtPlatform*>(this)->Build(*win);
    const_cast<QtPlatform*>(this)->ApplyVisibility();
    if (win->fontPending) const_cast<QtPlatform*>(this)->ApplyFont(*win);
    return win->widget.data();
}

WinHandle QtPlatform::HandleOf(const QObject* object) const {
    for (const QObject* o = object; o; o = o->parent()) {
        if (!o->isWidgetType()) continue;
        if (const auto it = handleOfWidget_.find(o); it != handleOfWidget_.end()) {
            // A widget deleted behind the program's back may have left its address to another.
            if (const Window* win = Find(it->second); win && win->widget == o) return it->second;
        }
        // A window of its own (a message box, a file dialog) belongs to no control; the list of
        // a combo box is a popup window and still belongs to its combo box.
        const auto* widget = static_cast<const QWidget*>(o);
        if (widget->isWindow() && widget->windowType() != Qt::Popup) break;
    }
    return 0;
}

WinHandle QtPlatform::Create(const WindowSpec& params) {
    Window* parent = nullptr;
    if (params.parent != 0) {
        // A form's owner and a control's form may still wait for their widgets.
        Window* const found = Find(params.parent);
        const bool mayWait = found && (params.kind == ControlKind::Form || found->Is(ControlKind::Form));
        parent = mayWait ? found : Built(params.parent);
        if (!parent) return 0;
    }
    if (params.kind != ControlKind::Form && !parent) return 0;

    auto owned = std::make_unique<Window>();
    Window& win = *owned;
    win.handle = nextHandle_++;
    win.parent = params.parent;
    win.kind = params.kind;
    win.style = params.style;
    windows_.emplace(win.handle, std::move(owned));
    if (byHandle_.size() <= static_cast<size_t>(win.handle)) byHandle_.resize(static_cast<size_t>(win.handle) + 1);
    byHandle_[static_cast<size_t>(win.handle)] = &win;
    // A form's own widget waits with its controls' (Build): a form that is never shown or looked
    // at costs the window system nothing.
    const bool form = params.kind == ControlKind::Form;
    if (form || (parent->Is(ControlKind::Form) && !parent->controlsBuilt)) {
        win.awaitingWidget = true;
        (form ? win : *parent).later.push_back([this, h = win.handle] {
            if (Window* w = Find(h)) MakeControl(*w);
        });
    } else {
        MakeControl(win);
    }
    return win.handle;
}

void QtPlatform::MakeControl(Window& win) {
    ProgramChange change(*this);
    const Window* parent = win.parent ? Built(win.parent) : nullptr;
    QWidget* widget = MakeWidget(win, parent ? parent->widget.data() : nullptr);
    handleOfWidget_[widget] = win.handle;
    win.widget = widget;
    win.awaitingWidget = false;
    Wire(win);

    if (win.style & style::kDisabled) widget->setEnabled(false);
    // A form starts hidden whatever its style says; the window layer shows it.
    const bool hiddenKind = win.kind == ControlKind::Form || win.kind == ControlKind::Timer ||
                            win.kind == ControlKind::Media || win.kind == ControlKind::Printer;
    // A window is created with an empty rectangle, as the original system creates it: marked as
    // sized, Qt does not measure its text to size it when it is shown before SetGeometry.
    widget->setAttribute(Qt::WA_Resized);
    widget->setVisible((win.style & style::kVisible) && !hiddenKind);
    if (win.kind != ControlKind::Form) {
        // The original window system put each new control below its siblings: the first one
        // created is on top. The forms rely on it: a group box is created after its option
        // buttons and must not cover them, and FORM3's large note label comes last, under the
        // controls it overlaps.
        widget->lower();
    }
    if (win.Grouped()) Regroup(win.parent);
}

void QtPlatform::Destroy(WinHandle w) {
    if (!windows_.count(w)) return;
    // The window and everything created inside it go together.
    std::vector<WinHandle> doomed{w};
    for (size_t i = 0; i < doomed.size(); ++i) {
        for (const auto& [handle, win] : windows_) {
            if (win->parent == doomed[i]) doomed.push_back(handle);
        }
    }
    const WinHandle parent = windows_.at(w)->parent;
    const bool regroup = windows_.at(w)->Grouped();
    ProgramChange change(*this);
    for (WinHandle handle : doomed) {
        const auto it = windows_.find(handle);
        if (it == windows_.end()) continue;
        if (QWidget* widget = it->second->widget) {
            if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->group()) {
                button->group()->removeButton(button);
            }
            handleOfWidget_.erase(widget);
            // Deleted later: the window may be destroyed from inside one of its own signals.
            if (handle == w) {
                widget->hide();
                widget->deleteLater();
            }
        }
        if (focusReported_ == handle) focusReported_ = 0;
        if (focusPending_ == handle) focusPending_ = 0;
        if (focusLast_ == handle) focusLast_ = 0;
        byHandle_[static_cast<size_t>(handle)] = nullptr;
        windows_.erase(it);
        for (auto g = optionGroups_.begin(); g != optionGroups_.end();) {
            g = g->first.first == handle ? optionGroups_.erase(g) : std::next(g);
        }
    }
    if (regroup && windows_.count(parent)) Regroup(parent);
}

bool QtPlatform::Exists(WinHandle w) const { return Find(w) != nullptr; }

void QtPlatform::SetText(WinHandle w, const std::string& text) {
    Window* win = Find(w);
    if (!win) return;
    QWidget* widget = win->widget;
    const std::string bytes = text.substr(0, text.find('\0'));
    QString shown;
    if (Later(*win, [this, w, bytes] { SetText(w, bytes); })) {
        win->textBytes = bytes;  // what GetText answers until then
    } else {
        ProgramChange change(*this);
        switch (win->kind) {
            case ControlKind::Form:
                shown = FromSjis(bytes);
                widget->setWindowTitle(shown);
                NamesChanged(*win);  // the boxes that have no caption are announced by the title
                break;
            case ControlKind::PushButton:
            case ControlKind::OptionButton:
            case ControlKind::CheckBox:
            case ControlKind::BitmapButton:
                shown = FromSjis(bytes);
                static_cast<QAbstractButton*>(widget)->setText(shown);
                NamesChanged(*win);
                break;
            case ControlKind::GroupBox:
                shown = FromSjis(bytes);
                static_cast<QGroupBox*>(widget)->setTitle(shown);
                break;
            case ControlKind::Label:
                shown = FromSjis(bytes, LineEnds::CrLf);
                static_cast<QLabel*>(widget)->setText(shown);
                NamesChanged(*win);  // a caption, or a figure, is announced as it is shown
                break;
            case ControlKind::Edit:
                if (QPlainTextEdit* edit = TextEditOf(*win)) {
                    shown = FromSjis(bytes, LineEnds::CrLf);
                    edit->setPlainText(shown);
                    win->multiLineBefore = shown;
                    // A font still to come sets the columns then.
                    if (win->ByteColumns() && !win->fontPending) qt::KeepByteColumns(edit);
                } else {
                    shown = FromSjis(bytes);
                    LineEditOf(*win)->setText(shown);
                }
                break;
            case ControlKind::ComboBox:
                shown = FromSjis(bytes);
                LineEditOf(*win)->setText(shown);
                break;
            default:
                break;  // a window text nobody shows, kept for GetText
        }
        win->textBytes = bytes;
        win->textShown = shown;
    }
    // Kept from the original window system, whose single-line edit boxes report a text set by
    // the program as a change; the program's _CHANGE routines rely on it.
    if (win->kind == ControlKind::Edit && !win->MultiLine() && sink_ && !building_) {
        sink_->OnNotify(w, Notification::EditChanged);
    }
}

std::string QtPlatform::GetText(WinHandle w) const {
    const Window* win = Find(w);
    if (!win) return {};
    // Until then only SetText changes the text (a combo box's is also its list's).
    if (win->awaitingWidget && !win->IsCombo()) return win->kind == ControlKind::ListBox ? std::string() : win->textBytes;
    if (win->awaitingWidget && !(win = Built(w))) return {};
    QString current = win->textShown;
    LineEnds ends = LineEnds::AsIs;
    switch (win->kind) {
        case ControlKind::Edit:
            if (const QPlainTextEdit* edit = TextEditOf(*win)) {
                current = edit->toPlainText();
                ends = LineEnds::CrLf;
            } else {
                current = LineEditOf(*win)->text();
            }
            break;
        case ControlKind::ComboBox: current = LineEditOf(*win)->text(); break;
        case ControlKind::ListBox: return {};  // a list box has no text of its own
        default: break;  // only the program changes the other texts
    }
    if (current == win->textShown) return win->textBytes;
    return ToSjis(current, ends);
}

void QtPlatform::SetVisible(WinHandle w, bool visible) {
    Window* win = Find(w);
    if (!win) return;
    if (win->Is(ControlKind::Form)) {
        // Done when the windows next run (ApplyVisibility): the main form, hidden around every
        // refresh of its figures and shown again, then costs the window system nothing, and a
        // form appears with its controls and their fonts in place.
        win->visibleLater = visible;
        std::erase(visibilityLater_, w);
        visibilityLater_.push_back(w);
        return;
    }
    if (Later(*win, [this, w, visible] { SetVisible(w, visible); })) return;
    ProgramChange change(*this);
    win->widget->setVisible(visible);
    NamesChanged(*win);
}

void QtPlatform::ApplyVisibility() {
    while (!visibilityLater_.empty()) {
        const std::vector<WinHandle> forms = std::exchange(visibilityLater_, {});
        for (const WinHandle handle : forms) {
            Window* form = Find(handle);
            if (!form || !form->visibleLater) continue;
            const bool visible = *std::exchange(form->visibleLater, std::nullopt);
            ProgramChange change(*this);
            if (visible) {
                Build(*form);
                ApplyPendingFonts(handle);
                ActivateForm(*form);
            } else if (form->widget) {
                form->widget->setVisible(false);
            }
        }
    }
}

void QtPlatform::BeforeEvents() {
    ApplyVisibility();
    ApplyShownFonts();
    RenameStaleForms();
}

bool QtPlatform::IsVisible(WinHandle w) const {
    if (const Window* form = Find(w); form && form->Is(ControlKind::Form)) {
        if (form->visibleLater) return *form->visibleLater;
        if (form->awaitingWidget) return false;  // never shown yet
    }
    const Window* win = Built(w);
    return win && !win->widget->isHidden();
}

void QtPlatform::SetEnabled(WinHandle w, bool enabled) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, enabled] { SetEnabled(w, enabled); })) return;
    ProgramChange change(*this);
    win->widget->setEnabled(enabled);
}

bool QtPlatform::IsEnabled(WinHandle w) const {
    const Window* win = Built(w);
    // WA_Disabled is also set on the controls of a disabled form; WA_ForceDisabled only by
    // setEnabled(false) on the widget itself.
    return win && !win->widget->testAttribute(Qt::WA_ForceDisabled);
}

void QtPlatform::SetGeometry(WinHandle w, const Rect& r) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, r] { SetGeometry(w, r); })) return;
    ProgramChange change(*this);
    QWidget* widget = win->widget;
    switch (win->kind) {
        case ControlKind::Form: {
            // The rectangle is the client area at a desktop position; the window manager adds
            // the frame. A form without a sizing border keeps its size.
            constexpr uint32_t kThickFrame = 0x00040000;
            if (win->filler) {
                Grow(*win, QSize(std::max(r.width, 0), std::max(r.height, 0)));
            } else if (win->style & kThickFrame) {
                widget->setMinimumSize(0, 0);
                widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
                widget->resize(std::max(r.width, 0), std::max(r.height, 0));
            } else {
                widget->setFixedSize(std::max(r.width, 0), std::max(r.height, 0));
            }
            widget->move(r.x, r.y);
            break;
        }
        case ControlKind::ComboBox:
            win->requested = r;
            // Its height follows its font: a font still to come sizes it then.
            if (!win->fontPending) ApplyComboGeometry(*win);
            break;
        default:
            win->requested = r;
            widget->setGeometry(ToQt(r));
            if (const Window* form = Find(win->parent); form && form->filler == w) FollowGrowth(WindowAt(win->parent));
            break;
    }
    if (win->Grouped()) Regroup(win->parent);
    // Captions are found by where the controls are (once the form's controls have their widgets).
    const Window* form = win->Is(ControlKind::Form) ? nullptr : Find(win->parent);
    if (form && form->controlsBuilt && !building_) NameByCaptions(form->handle);
}

Rect QtPlatform::Geometry(WinHandle w) const {
    const Window* win = Built(w);
    if (!win) return {};
    switch (win->kind) {
        case ControlKind::Form: return Rect{win->widget->x(), win->widget->y(), win->widget->width(), win->widget->height()};
        case ControlKind::ComboBox: return win->requested;
        default: return FromQt(win->widget->geometry());
    }
}

Rect QtPlatform::Desktop() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? FromQt(screen->availableGeometry()) : Rect{0, 0, 1024, 768};
}

void QtPlatform::SetFont(WinHandle w, const FontSpec& font) {
    Window* win = Find(w);
    if (!win) return;
    win->font = font;
    // Given to the widget just before the window system may draw or measure it (ApplyShownFonts):
    // a routine that sets a form's fonts one by one, or sets them again right after showing it,
    // then loads each face and lays each text out once, and the hidden forms not at all.
    win->fontPending = true;
}

void QtPlatform::ApplyFont(Window& win) {
    if (!win.font || !win.widget) return;
    ProgramChange change(*this);
    win.fontPending = false;
    win.widget->setFont(qt::MakeFont(*win.font, win.ByteColumns() ? qt::FontUse::ByteColumns : qt::FontUse::Normal));
    if (win.ByteColumns()) qt::KeepByteColumns(TextEditOf(win));
    if (win.IsCombo()) ApplyComboGeometry(win);
}

void QtPlatform::ApplyPendingFonts(WinHandle form) {
    // The controls first, as in ApplyShownFonts.
    for (const bool forms : {false, true}) {
        for (auto& [handle, win] : windows_)
            if (win->fontPending && (forms ? handle == form : win->parent == form)) ApplyFont(*win);
    }
}

void QtPlatform::ApplyShownFonts() {
    // The controls first: a form's font reaches every control of it that has no font of its
    // own yet, which would lay their texts out once more in a face they may never show.
    for (const bool forms : {false, true}) {
        for (auto& [handle, win] : windows_) {
            if (!win->fontPending || win->Is(ControlKind::Form) != forms) continue;
            const Window* form = forms ? win.get() : Find(win->parent);
            if (form && form->shownOnce) ApplyFont(*win);
        }
    }
}

FontSpec QtPlatform::Font(WinHandle w) const {
    const Window* win = Find(w);
    return win && win->font ? *win->font : FontSpec{};
}

void QtPlatform::SetColours(WinHandle w, std::optional<Colour> text, std::optional<Colour> background) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, text, background] { SetColours(w, text, background); })) return;
    if (text) win->textColour = text;
    if (background) win->backColour = background;
    ApplyColours(*win);
}

void QtPlatform::SetCheck(WinHandle w, int state) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, state] { SetCheck(w, state); })) return;
    auto* button = qobject_cast<QAbstractButton*>(win->widget.data());
    if (!button || !button->isCheckable()) return;
    ProgramChange change(*this);
    // Only this button changes: like the original, the program may check two option buttons
    // of a group or none.
    if (auto* check = qobject_cast<QCheckBox*>(button); check && state == 2) {
        check->setTristate(true);
        check->setCheckState(Qt::PartiallyChecked);
    } else {
        button->setChecked(state != 0);
    }
}

int QtPlatform::GetCheck(WinHandle w) const {
    const Window* win = Built(w);
    if (!win) return 0;
    if (auto* check = qobject_cast<QCheckBox*>(win->widget.data())) {
        switch (check->checkState()) {
            case Qt::Unchecked: return 0;
            case Qt::PartiallyChecked: return 2;
            case Qt::Checked: return 1;
        }
    }
    auto* button = qobject_cast<QAbstractButton*>(win->widget.data());
    return button && button->isChecked() ? 1 : 0;
}

void QtPlatform::SetPushed(WinHandle w, bool pushed) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, pushed] { SetPushed(w, pushed); })) return;
    if (auto* button = qobject_cast<QPushButton*>(win->widget.data())) button->setDown(pushed);
}

}  // namespace rt

#include "keypad_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QThread>
#include <QTimer>

#include "accessible_picture.h"
#include "bitmaps.h"
#include "control_ids.h"
#include "key_names.h"
#include "key_translation.h"
#include "message_box.h"
#include "on_screen_keyboard.h"
#include "template_widgets.h"

namespace quillpad {
namespace {

QColor ToQColor(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// Controls that ask for their colours as static controls do.
bool IsStaticClass(const ControlTemplate& c) {
    return c.kind == ControlKind::kPicture || c.kind == ControlKind::kText ||
           c.kind == ControlKind::kWrappedText || c.kind == ControlKind::kGroupBox ||
           c.kind == ControlKind::kCheckBox;
}

// Clicks on these reach the window itself, as on controls that send no notifications.
bool PassesClicksToWindow(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) != nullptr ||
           qobject_cast<const QGroupBox*>(w) != nullptr;
}

}  // namespace

KeypadWindow::KeypadWindow() : dlg_(*this) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(LoadAppIcon());
    setMouseTracking(true);
    setAutoFillBackground(true);

    for (const BuiltControl& c : BuildDialog(*this, KeypadTemplate())) {
        if (c.source->id != kIdStatic) {
            controls_[c.source->id] = c.widget;
        }
        if (PassesClicksToWindow(c.widget)) {
            c.widget->setMouseTracking(true);
        } else {
            // Only the window and its pictures change the pointer.
            c.widget->setCursor(Qt::ArrowCursor);
        }
        if (auto* button = qobject_cast<QAbstractButton*>(c.widget)) {
            const int id = c.source->id;
            connect(button, &QAbstractButton::clicked, this, [this, id] { dlg_.OnCommand(id); });
        }
    }
    auto* edit = static_cast<QLineEdit*>(Control(kIdKeyEdit));
    // The field only shows the assignment: nothing may type, paste or drop into it.
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setContextMenuPolicy(Qt::PreventContextMenu);
    edit->setAcceptDrops(false);
    edit->setDragEnabled(false);

    qApp->installEventFilter(this);
}

KeypadWindow::~KeypadWindow() {
    qApp->removeEventFilter(this);
}

void KeypadWindow::Initialise() {
    dlg_.OnInitDialog();
    openKeyboardCursor_ = LoadOpenKeyboardCursor();
    // The default focus: the first tab stop of the window, the OK button.
    FocusControl(kIdOk);
    const CtlColorResult own = dlg_.OnCtlColor(kIdStatic, CtlColorClass::kOther);
    if (own.brush) {
        QPalette p = palette();
        p.setColor(QPalette::Window, ToQColor(*own.brush));
        setPalette(p);
    }
    for (const ControlTemplate& c : KeypadTemplate().controls) {
        if (c.id != kIdStatic && IsStaticClass(c)) {
            ApplyColour(c.id);
        }
    }
}

QWidget* KeypadWindow::Control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void KeypadWindow::ApplyColour(int id) {
    QWidget* w = Control(id);
    if (w == nullptr) {
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        // The key function field's own colour says whether it records.
        const CtlColorResult r = dlg_.OnCtlColor(id, CtlColorClass::kOther);
        QPalette p = edit->palette();
        p.setColor(QPalette::Base, r.background ? ToQColor(*r.background) : Qt::white);
        edit->setPalette(p);
        return;
    }
    const CtlColorResult r = dlg_.OnCtlColor(id, CtlColorClass::kStatic);
    // Pictures cover their background; the group box paints none inside its frame.
    if (!r.brush || qobject_cast<QGroupBox*>(w) != nullptr ||
        (qobject_cast<QLabel*>(w) != nullptr && !static_cast<QLabel*>(w)->pixmap().isNull())) {
        return;
    }
    QPalette p = w->palette();
    p.setColor(QPalette::Window, ToQColor(*r.brush));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void KeypadWindow::SetControlText(int id, const std::string& text) {
    QWidget* w = Control(id);
    const QString s = QString::fromStdString(text);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(s);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(s);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(s);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(s);
    }
}

std::string KeypadWindow::ControlText(int id) const {
    QWidget* w = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        return edit->text().toStdString();
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return label->text().toStdString();
    }
    if (auto* group = qobject_cast<QGroupBox*>(w)) {
        return group->title().toStdString();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        return button->text().toStdString();
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        return combo->currentText().toStdString();
    }
    return {};
}

void KeypadWindow::SetCheck(int id, bool checked) {
    if (auto* box = qobject_cast<QCheckBox*>(Control(id))) {
        box->setChecked(checked);
    }
}

int KeypadWindow::CheckState(int id) const {
    const auto* box = qobject_cast<QCheckBox*>(Control(id));
    return box != nullptr && box->isChecked() ? 1 : 0;
}

void KeypadWindow::ShowControl(int id, bool visible) {
    if (QWidget* w = Control(id)) {
        w->setVisible(visible);
    }
}

void KeypadWindow::FocusControl(int id) {
    if (QWidget* w = Control(id)) {
        w->setFocus(Qt::OtherFocusReason);
    }
}

int KeypadWindow::FocusedControl() const {
    const QWidget* f = QApplication::focusWidget();
    if (f == nullptr) {
        return kNoFocus;
    }
    const int id = f->window() == this ? ControlIdOf(f) : kIdStatic;
    return id == kIdStatic ? kFocusElsewhere : id;
}

std::optional<ControlRect> KeypadWindow::ControlRectangle(int id) const {
    const QWidget* w = Control(id);
    if (w == nullptr) {
        return std::nullopt;
    }
    const QRect r = w->geometry();
    return ControlRect{r.x(), r.y(), r.width(), r.height()};
}

void KeypadWindow::ClearComboEntries(int id) {
    if (auto* combo = qobject_cast<QComboBox*>(Control(id))) {
        combo->clear();
    }
}

void KeypadWindow::AddComboEntry(int id, const std::string& text) {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (combo == nullptr) {
        return;
    }
    // A sorted list: the entry goes before the first one that sorts after it.
    const QString entry = QString::fromStdString(text);
    int at = 0;
    while (at < combo->count() &&
           QString::compare(combo->itemText(at), entry, Qt::CaseInsensitive) <= 0) {
        ++at;
    }
    combo->insertItem(at, entry);
}

void KeypadWindow::SelectComboEntry(int id, int index) {
    if (auto* combo = qobject_cast<QComboBox*>(Control(id))) {
        combo->setCurrentIndex(index);
    }
}

int KeypadWindow::ComboEntryCount(int id) const {
    const auto* combo = qobject_cast<QComboBox*>(Control(id));
    return combo == nullptr ? 0 : combo->count();
}

int KeypadWindow::ShowMessageBox(const std::string& text, const std::string& caption,
                                 unsigned type) {
    if (messageBoxHook_) {
        return messageBoxHook_(text, caption, type);
    }
    return RunMessageBox(this, text, caption, type);
}

std::string KeypadWindow::ApplicationName() const {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

void KeypadWindow::StartTimer(int timerId, int periodMs) {
    QTimer*& timer = timers_[timerId];
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, timerId] { dlg_.OnTimer(timerId); });
    }
    timer->start(periodMs);
}

void KeypadWindow::StopTimer(int timerId) {
    const auto it = timers_.find(timerId);
    if (it != timers_.end()) {
        it->second->stop();
    }
}

void KeypadWindow::Wait(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

void KeypadWindow::RedrawControls(std::span<const int> ids) {
    for (int id : ids) {
        ApplyColour(id);
        if (QWidget* w = Control(id); w != nullptr && w->isVisible()) {
            w->repaint();
        }
    }
}

void KeypadWindow::SetPointer(PointerShape shape) {
    switch (shape) {
        case PointerShape::kOpenKeyboard:
            setCursor(openKeyboardCursor_);
            break;
        case PointerShape::kHelp:
            setCursor(Qt::WhatsThisCursor);
            break;
        case PointerShape::kDefault:
            unsetCursor();
            break;
    }
}

void KeypadWindow::SetBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void KeypadWindow::StartOnScreenKeyboard() {
    if (oskHook_) {
        oskHook_();
        return;
    }
    // A Linux desktop may have no on-screen keyboard at all: say which to install rather
    // than doing nothing.
    if (!StartOnScreenKeyboardProgram()) {
        ShowMessageBox(kNoOnScreenKeyboardText, ApplicationName(), kMbOk | kMbIconInformation);
    }
}

void KeypadWindow::RunHelpDialog() {
    help_.exec();
}

std::string KeypadWindow::KeyName(std::uint32_t lParam) const {
    return KeyNameFromLParam(lParam);
}

std::string KeypadWindow::ShiftedKeyName(std::uint32_t lParam) const {
    return ShiftedKeyNameFromLParam(lParam);
}

void KeypadWindow::SetAccessibleName(int id, const std::string& name) {
    if (QWidget* w = Control(id)) {
        w->setAccessibleName(QString::fromStdString(name));
    }
}

void KeypadWindow::SetAccessibleDescription(int id, const std::string& text) {
    if (QWidget* w = Control(id)) {
        w->setAccessibleDescription(QString::fromStdString(text));
    }
}

void KeypadWindow::SetAccessibleSelected(int id, bool selected) {
    if (QWidget* w = Control(id)) {
        SetPictureSelected(*w, selected);
    }
}

bool KeypadWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) {
        return false;
    }
    auto* target = static_cast<QWidget*>(watched);
    if (target->window() != this) {
        return false;
    }
    switch (event->type()) {
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return CaptureKey(target, event);
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return HandleMouse(target, event);
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::Drop:
            return target == Control(kIdKeyEdit);
        default:
            return false;
    }
}

bool KeypadWindow::KeyDown(const QKeyEvent& event) {
    if (const auto stroke = TranslateKeyEvent(event)) {
        return dlg_.PreTranslateKeyDown(stroke->vk, stroke->lParam,
                                        (event.modifiers() & Qt::AltModifier) != 0);
    }
    // A key no Windows keyboard has: the field ignores it, elsewhere Qt handles it.
    return FocusedControl() == kIdKeyEdit;
}

bool KeypadWindow::CaptureKey(QWidget* /*target*/, QEvent* event) {
    const auto& key = *static_cast<QKeyEvent*>(event);
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Qt asks before a key press whether a shortcut (a button's Alt+letter) may have
            // it: the dialog decides here, before Qt's shortcuts, Tab or Escape handling.
            keyTaken_ = KeyDown(key);
            keyDecided_ = true;
            if (keyTaken_) {
                event->accept();
            }
            return keyTaken_;
        case QEvent::KeyPress: {
            const bool taken = keyDecided_ ? keyTaken_ : KeyDown(key);
            keyDecided_ = false;
            return taken;
        }
        default:
            // Key releases in the field are its own; elsewhere Space's release presses.
            return FocusedControl() == kIdKeyEdit;
    }
}

bool KeypadWindow::HandleMouse(QWidget* target, QEvent* event) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        dlg_.OnPointerDown(target == this ? kIdStatic : ControlIdOf(target));
    }
    if (target == Control(kIdKeyEdit)) {
        // No middle-click paste into the field.
        return mouse->button() == Qt::MiddleButton || (mouse->buttons() & Qt::MiddleButton);
    }
    if (target != this && !PassesClicksToWindow(target)) {
        return false;
    }
    const QPoint p = target->mapTo(this, mouse->position().toPoint());
    if (event->type() == QEvent::MouseMove) {
        dlg_.OnMouseMove(p.x(), p.y());
    } else if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        dlg_.OnLButtonUp(p.x(), p.y());
    }
    // Handled here; the window's own handlers would see the same event once more.
    return target != this;
}

void KeypadWindow::closeEvent(QCloseEvent* event) {
    // A window manager's Alt+F4 while the field captures keys assigns Alt+F4 instead.
    if (event->spontaneous() && FocusedControl() == kIdKeyEdit &&
        (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier)) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace quillpad

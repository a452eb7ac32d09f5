#include "ui/qt_user_port.h"

#include <QApplication>
#include <QDateTime>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "core/day_serial.h"

namespace tavro::ui {

QString ToQt(std::string_view text) {
    QString out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

std::string FromQt(const QString& text) { return text.toStdString(); }

namespace {

QMessageBox::StandardButton ButtonOf(core::Answer answer) {
    switch (answer) {
        case core::Answer::Ok:
            return QMessageBox::Ok;
        case core::Answer::Cancel:
            return QMessageBox::Cancel;
        case core::Answer::Yes:
            return QMessageBox::Yes;
        case core::Answer::No:
            return QMessageBox::No;
        case core::Answer::Retry:
            return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons ButtonsOf(core::Buttons buttons) {
    switch (buttons) {
        case core::Buttons::Ok:
            return QMessageBox::Ok;
        case core::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case core::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case core::Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case core::Buttons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The answer of Escape or the close button of the title bar.
core::Answer EscapeAnswer(core::Buttons buttons) {
    switch (buttons) {
        case core::Buttons::Ok:
            return core::Answer::Ok;
        case core::Buttons::YesNo:
            return core::Answer::No;
        default:
            return core::Answer::Cancel;
    }
}

QMessageBox::Icon IconOf(core::Icon icon) {
    switch (icon) {
        case core::Icon::None:
            return QMessageBox::NoIcon;
        case core::Icon::Exclamation:
            return QMessageBox::Warning;
        case core::Icon::Question:
            return QMessageBox::Question;
        case core::Icon::Information:
            return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(std::string_view title, std::string_view text,
                                            core::Buttons buttons, core::Answer defaultAnswer,
                                            core::Icon icon, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(ToQt(title));
    box->setTextFormat(Qt::PlainText);
    box->setText(ToQt(text));
    box->setIcon(IconOf(icon));
    box->setStandardButtons(ButtonsOf(buttons));
    if (QAbstractButton* b = box->button(ButtonOf(defaultAnswer)))
        box->setDefaultButton(qobject_cast<QPushButton*>(b));
    box->setEscapeButton(box->button(ButtonOf(EscapeAnswer(buttons))));
    return box;
}

core::Answer AnswerOf(int standardButton, core::Buttons buttons) {
    switch (standardButton) {
        case QMessageBox::Ok:
            return core::Answer::Ok;
        case QMessageBox::Cancel:
            return core::Answer::Cancel;
        case QMessageBox::Yes:
            return core::Answer::Yes;
        case QMessageBox::No:
            return core::Answer::No;
        case QMessageBox::Retry:
            return core::Answer::Retry;
        default:
            return EscapeAnswer(buttons);
    }
}

QtUserPort::QtUserPort() { clock_.start(); }

QWidget* QtUserPort::Parent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return parent_;
}

core::Answer QtUserPort::ShowBox(std::string_view title, std::string_view text,
                                 core::Buttons buttons, core::Answer defaultAnswer,
                                 core::Icon icon) {
    auto box = MakeMessageBox(title, text, buttons, defaultAnswer, icon, Parent());
    box->exec();
    QAbstractButton* clicked = box->clickedButton();
    const int pressed = clicked ? box->standardButton(clicked) : QMessageBox::NoButton;
    return AnswerOf(pressed, buttons);
}

std::optional<std::string> QtUserPort::AskText(std::string_view prompt, std::string_view title,
                                               std::string_view initial) {
    bool ok = false;
    const QString text = QInputDialog::getText(Parent(), ToQt(title), ToQt(prompt),
                                               QLineEdit::Normal, ToQt(initial), &ok);
    if (!ok) return std::nullopt;
    return FromQt(text);
}

void QtUserPort::ProcessPendingEvents() { QCoreApplication::processEvents(); }

void QtUserPort::ShowProgress(const core::RunProgress& progress) {
    if (progress_) progress_(progress);
}

std::int64_t QtUserPort::TickMs() { return clock_.elapsed(); }

double QtUserPort::NowDaySerial() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return core::DaySerialFromCivil(
        {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()});
}

}  // namespace tavro::ui

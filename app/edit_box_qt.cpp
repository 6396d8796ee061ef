#include "app/edit_box_qt.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace vidmora {

QString gbk_to_screen(const Text& text) {
    QStringDecoder decoder("GBK");
    QString decoded =
        decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    QString shown;
    shown.reserve(decoded.size());
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        QChar c = decoded[i];
        if (c == u'\r') {
            if (i + 1 < decoded.size() && decoded[i + 1] == u'\n') ++i;
            shown.append(u'\n');
        } else {
            shown.append(c);
        }
    }
    return shown;
}

Text screen_to_gbk(const QString& text) {
    QString with_crlf;
    with_crlf.reserve(text.size() + text.size() / 16);
    for (QChar c : text) {
        if (c == u'\0') break;
        if (c == u'\n') with_crlf.append(u'\r');
        with_crlf.append(c);
    }
    QStringEncoder encoder("GBK", QStringConverter::Flag::Default);
    QByteArray bytes = encoder.encode(with_crlf);
    return Text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

EditBoxQt::EditBoxQt(QWidget* parent) : QPlainTextEdit(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // No horizontal scrolling: long lines wrap at the box's width, within a word if need be.
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(true);
    QPalette colours = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Base, Qt::white);
        colours.setColor(group, QPalette::Text, Qt::black);
    }
    // The selection shows only while the box has the focus.
    colours.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    setPalette(colours);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (setting_) return;
        // A change made to the document directly is newer than a text still waiting to be
        // shown, which is dropped.
        given_valid_ = false;
        given_shown_ = true;
    });
}

Text EditBoxQt::text_bytes() const {
    if (given_valid_) return given_;
    return screen_to_gbk(toPlainText());
}

void EditBoxQt::set_text_bytes(Text text) {
    text.resize(std::min(text.size(), text.find('\0')));
    given_ = std::move(text);
    given_valid_ = true;
    if (given_shown_) {
        given_shown_ = false;
        QMetaObject::invokeMethod(
            this, [this] { show_given(); }, Qt::QueuedConnection);
    }
}

void EditBoxQt::show_given() {
    if (given_shown_) return;
    given_shown_ = true;
    setting_ = true;
    setPlainText(gbk_to_screen(given_));
    setting_ = false;
}

bool EditBoxQt::event(QEvent* event) {
    show_given();
    return QPlainTextEdit::event(event);
}

bool EditBoxQt::viewportEvent(QEvent* event) {
    show_given();
    return QPlainTextEdit::viewportEvent(event);
}

}  // namespace vidmora

// A multi-line edit box whose text the program reads and writes as GBK bytes.
#pragma once

#include <QPlainTextEdit>

#include "text/text.h"

namespace vidmora {

class EditBoxQt : public QPlainTextEdit {
  public:
    explicit EditBoxQt(QWidget* parent);

    // The whole text, line breaks as CR LF. While the user has not edited the box since the
    // last set_text_bytes, exactly the bytes given there, including any that are not GBK.
    Text text_bytes() const;
    // Takes the bytes at once; the screen follows before the box next handles an event. A
    // handler that sets a page of megabytes and then replaces it, without going back to the
    // event loop in between, so never pays for laying the page out.
    void set_text_bytes(Text text);

  protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

  private:
    void show_given();

    Text given_;                // the bytes of the last set_text_bytes
    bool given_valid_ = false;  // false once the user changed the text
    bool given_shown_ = true;   // false while the screen still shows an older text
    bool setting_ = false;
};

// GBK bytes to the text shown on screen: CR LF, lone LF and lone CR all break the line.
QString gbk_to_screen(const Text& text);
// The text on screen to GBK, line breaks as CR LF; characters GBK lacks become '?'. A NUL
// character ends the text.
Text screen_to_gbk(const QString& text);

}  // namespace vidmora

// set_text and get_text with a page of 500 KB, against the GBK decoding of the same bytes alone
// (the part of the work that no edit box can avoid). Runs on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QStringDecoder>
#include <QTextCursor>

#include "app/controls.h"
#include "app/main_window_qt.h"

namespace {

vidmora::Text page(std::size_t kilobytes = 500) {
    vidmora::Text text;
    const vidmora::Text piece =
        "<div class=\"title\">\xB5\xDA\xD2\xBB\xD0\xD0</div>\r\n<img src=\"http://a/b.jpg\"/>\r\n";
    while (text.size() < kilobytes * 1024) text += piece;
    return text;
}

void BM_DecodeGbkReference(benchmark::State& state) {
    const vidmora::Text text = page();
    for (auto _ : state) {
        QStringDecoder decoder("GBK");
        QString decoded = decoder.decode(QByteArrayView(text.data(), text.size()));
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_DecodeGbkReference)->Unit(benchmark::kMillisecond);

void BM_SetText(benchmark::State& state) {
    vidmora::MainWindowQt window;
    window.show_centred();
    const vidmora::Text text = page(state.range(0));
    for (auto _ : state) {
        vidmora::set_text(vidmora::EditBox::kEditBox2, text);
        QApplication::processEvents();  // the layout that the next paint needs
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
// Sizes in KB: the time grows with the text, not with its square.
BENCHMARK(BM_SetText)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

// After an edit the text is encoded from the screen again.
void BM_GetTextAfterEdit(benchmark::State& state) {
    vidmora::MainWindowQt window;
    window.show_centred();
    const vidmora::Text text = page();
    vidmora::set_text(vidmora::EditBox::kEditBox2, text);
    QTextCursor cursor(window.edit_box(vidmora::EditBox::kEditBox2)->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText("x");
    for (auto _ : state) benchmark::DoNotOptimize(vidmora::get_text(vidmora::EditBox::kEditBox2));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_GetTextAfterEdit)->Unit(benchmark::kMillisecond);

}  // namespace

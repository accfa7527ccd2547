// Reading and writing RTF of about 1 MB, the size of a long letter template
// with a few pages of formatted text.
#include "platform/richtext/rtf.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

QByteArray largeRtf() {
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times New "
                     "Roman;}}{\\colortbl;\\red255\\green0\\blue0;}\r\n";
    int paragraph = 0;
    while (rtf.size() < 1024 * 1024) {
        rtf += "\\pard\\li360\\tx1134\\tqr\\tx5670\\f0\\fs20 Absatz ";
        rtf += QByteArray::number(++paragraph);
        rtf += ": Gr\\'fc\\'dfe aus K\\'f6ln, {\\b fett}, {\\i kursiv}, {\\cf1 rot}\\tab 12,50 "
               "\\'80\\tab {\\f1\\fs24 \\u937?\\u8364?} und ein etwas l\\'e4ngerer Text, der die "
               "Zeile f\\'fcllt.\\par\r\n";
    }
    return rtf + "}";
}

void readRtf(benchmark::State& state) {
    const QByteArray rtf = largeRtf();
    for (auto _ : state) {
        auto document = richtext::fromRtf(rtf);
        benchmark::DoNotOptimize(document.get());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(readRtf)->Unit(benchmark::kMillisecond);

void writeRtf(benchmark::State& state) {
    const auto document = richtext::fromRtf(largeRtf());
    for (auto _ : state) {
        QByteArray rtf = richtext::toRtf(*document);
        benchmark::DoNotOptimize(rtf.data());
    }
}
BENCHMARK(writeRtf)->Unit(benchmark::kMillisecond);

void plainTextOfRtf(benchmark::State& state) {
    const QByteArray rtf = largeRtf();
    for (auto _ : state) {
        QString text = richtext::plainTextOfRtf(rtf);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(plainTextOfRtf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

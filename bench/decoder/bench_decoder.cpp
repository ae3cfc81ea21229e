// Reads every photo set under <testdata>/barcodes as the scanner sees it
// (FrameConverter) with our decoder in its default and strict modes and with
// two open decoders, the photos of <testdata>/no-barcode, where every result
// is a false read, and rendered codes blurred by about a module.
//
// Usage: bench_decoder [TESTDATA] [--details]
//   TESTDATA defaults to the shared folder's testdata.
// Times are per frame, the least of three runs, on one thread; the median
// and the 95th percentile over the frames of the photo sets are reported.
//
// The photo sets are split in two halves: the photos on even lines of each
// manifest (first, third, ...) are the tuning half, on which the decoder's
// thresholds were chosen; those on odd lines are the held-out half, reported
// apart as what a user's camera would get.

#include "Peers.h"
#include "barcode/decoder/BarCodeDecoder.h"
#include "barcode/decoder/SyntheticCode.h"
#include "barcode/frames/FrameConverter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTextStream>

#include <opencv2/core.hpp>
#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

struct Tally
{
    int correct = 0;
    int wrong = 0;
    int nothing = 0;
    std::vector<double> ms;

    int total() const { return correct + wrong + nothing; }
    void add(const Tally &o)
    {
        correct += o.correct;
        wrong += o.wrong;
        nothing += o.nothing;
        ms.insert(ms.end(), o.ms.begin(), o.ms.end());
    }
    double medianMs() const
    {
        if (ms.empty())
            return 0;
        std::vector<double> s = ms;
        std::nth_element(s.begin(), s.begin() + s.size() / 2, s.end());
        return s[s.size() / 2];
    }
    // The 95th percentile: the slow frames a user waits for.
    double p95Ms() const
    {
        if (ms.empty())
            return 0;
        std::vector<double> s = ms;
        const size_t k = std::min(s.size() - 1, s.size() * 95 / 100);
        std::nth_element(s.begin(), s.begin() + k, s.end());
        return s[k];
    }
    double pct(int v) const { return total() ? 100.0 * v / total() : 0; }
};

// 13 digits, UPC-A widened with a leading "0"; anything else is no code.
std::string normalise(const std::string &text)
{
    if (text.empty() || text[0] == '/')
        return {};
    if (text.size() == 12)
        return "0" + text;
    return text;
}

const char *const MODES[] = { "default", "strict", "zxing", "zbar" };
constexpr int MODE_COUNT = 4;
const char *const PREFIX[] = { "", "strict_", "zxing_", "zbar_" };
constexpr int RUNS = 3;
constexpr int SYNTHETIC_CODES = 40;

struct Reader
{
    ZBarReader zbar;

    // The result of one mode and the milliseconds it took: the least of a
    // few runs, so that other processes on the machine count less.
    std::string read(int mode, const cv::Mat &frame, const cv::Mat &grey, double &ms)
    {
        std::string first;
        ms = 1e9;
        for (int run = 0; run < RUNS; ++run) {
            cv::Mat copy = mode == 1 ? frame.clone() : frame; // strict swaps the frame
            std::string text;
            const auto t0 = std::chrono::steady_clock::now();
            switch (mode) {
            case 0:
                text = BarCodeDecoder::decode(copy);
                break;
            case 1:
                text = BarCodeDecoder::decode(copy, true);
                break;
            case 2:
                text = readWithZXing(grey);
                break;
            default:
                text = zbar.read(grey);
                break;
            }
            const auto t1 = std::chrono::steady_clock::now();
            ms = std::min(ms, std::chrono::duration<double, std::milli>(t1 - t0).count());
            if (run == 0)
                first = text;
        }
        return normalise(first);
    }
};

struct Sample
{
    QString file;
    QString expected;
};

std::vector<Sample> manifest(const QString &dir)
{
    std::vector<Sample> samples;
    QFile f(dir + QStringLiteral("/manifest.tsv"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return samples;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QStringList cols = in.readLine().split(QLatin1Char('\t'));
        if (!cols.value(0).isEmpty())
            samples.push_back({ cols.value(0), cols.value(1).trimmed() });
    }
    return samples;
}

QString groupOf(const QString &set)
{
    QString g = set;
    const int dash = g.lastIndexOf(QLatin1Char('-'));
    if (dash > 0 && g.mid(dash + 1).toInt() > 0)
        g.truncate(dash);
    return g;
}

void printRow(const char *name, const Tally *t)
{
    std::printf("%-22s", name);
    for (int m = 0; m < MODE_COUNT; ++m)
        std::printf(" | %3d %3d %3d %6.2f", t[m].correct, t[m].wrong, t[m].nothing, t[m].medianMs());
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    cv::setNumThreads(1);
    QString root = QStringLiteral(STASHLY_SHARED_DIR "/testdata");
    bool details = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--details"))
            details = true;
        else
            root = a;
    }
    const QDir barcodes(root + QStringLiteral("/barcodes"));
    const QStringList sets = barcodes.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    if (sets.isEmpty()) {
        std::fprintf(stderr, "No photo sets under %s\n", qPrintable(barcodes.path()));
        return 2;
    }

    Reader reader;
    Tally total[MODE_COUNT], blurry[MODE_COUNT], tuning[MODE_COUNT], heldOut[MODE_COUNT];
    std::map<QString, std::vector<Tally>> groups;
    std::printf("%-22s", "set");
    for (const char *m : MODES)
        std::printf(" | %-20s", m);
    std::printf("\n%-22s", "");
    for (int m = 0; m < MODE_COUNT; ++m)
        std::printf(" | ok  bad none  ms  ");
    std::printf("\n");
    for (const QString &set : sets) {
        const QString dir = barcodes.filePath(set);
        Tally tally[MODE_COUNT];
        int line = -1;
        for (const Sample &s : manifest(dir)) {
            ++line;
            const QImage image = QImageReader(dir + QLatin1Char('/') + s.file).read();
            if (image.isNull()) {
                std::fprintf(stderr, "cannot read %s/%s\n", qPrintable(set), qPrintable(s.file));
                continue;
            }
            const cv::Mat frame = FrameConverter::fromImage(image);
            cv::Mat grey;
            cv::extractChannel(frame, grey, 0);
            if (details)
                std::printf("  %s/%s %s %s", qPrintable(set), qPrintable(s.file), line % 2 == 0 ? "tuning" : "held-out",
                            qPrintable(s.expected));
            for (int m = 0; m < MODE_COUNT; ++m) {
                double ms = 0;
                const std::string text = reader.read(m, frame, grey, ms);
                tally[m].ms.push_back(ms);
                Tally &half = line % 2 == 0 ? tuning[m] : heldOut[m];
                if (text.empty()) {
                    ++tally[m].nothing;
                    ++half.nothing;
                } else if (QString::fromStdString(text) == s.expected) {
                    ++tally[m].correct;
                    ++half.correct;
                } else {
                    ++tally[m].wrong;
                    ++half.wrong;
                }
                if (details)
                    std::printf(" %s=%s", MODES[m], text.empty() ? "-" : text.c_str());
            }
            if (details)
                std::printf("\n");
        }
        printRow(qPrintable(set), tally);
        auto &g = groups[groupOf(set)];
        g.resize(MODE_COUNT);
        for (int m = 0; m < MODE_COUNT; ++m) {
            total[m].add(tally[m]);
            g[m].add(tally[m]);
            if (set == QLatin1String("zxing-ean13-5") || set == QLatin1String("zxing-upca-6"))
                blurry[m].add(tally[m]);
        }
    }
    printRow("total", total);
    std::printf("\nby group (correct/wrong/nothing, wrong %%):\n");
    for (const auto &[name, g] : groups) {
        std::printf("%-22s", qPrintable(name));
        for (int m = 0; m < MODE_COUNT; ++m)
            std::printf(" | %3d %3d %3d %5.1f%%", g[m].correct, g[m].wrong, g[m].nothing, g[m].pct(g[m].wrong));
        std::printf("\n");
    }

    // Photos without a code: every result is a false read.
    const QDir none(root + QStringLiteral("/no-barcode"));
    int falseReads[MODE_COUNT] = {};
    for (const Sample &s : manifest(none.path())) {
        const QImage image = QImageReader(none.filePath(s.file)).read();
        if (image.isNull())
            continue;
        const cv::Mat frame = FrameConverter::fromImage(image);
        cv::Mat grey;
        cv::extractChannel(frame, grey, 0);
        for (int m = 0; m < MODE_COUNT; ++m) {
            double ms = 0;
            const std::string text = reader.read(m, frame, grey, ms);
            if (!text.empty()) {
                ++falseReads[m];
                if (details)
                    std::printf("  false read %s %s=%s\n", qPrintable(s.file), MODES[m], text.c_str());
            }
        }
    }

    // Large pictures as `decode --raw` gets them: every tenth photo of the
    // sets, decoded at its own size and scaled to 4000x3000, so that the cost
    // per megapixel of both shows whether the search scales with the picture.
    {
        std::vector<double> smallPerMp, largePerMp;
        int largeCorrect = 0, largeWrong = 0, largeCount = 0, index = 0;
        for (const QString &set : sets) {
            const QString dir = barcodes.filePath(set);
            for (const Sample &s : manifest(dir)) {
                if (index++ % 10 != 0)
                    continue;
                const QImage image = QImageReader(dir + QLatin1Char('/') + s.file).read();
                if (image.isNull())
                    continue;
                const auto timed = [](const QImage &picture, std::string *text) {
                    const cv::Mat frame = FrameConverter::rawFrame(picture);
                    const auto t0 = std::chrono::steady_clock::now();
                    *text = BarCodeDecoder::decode(frame);
                    const auto t1 = std::chrono::steady_clock::now();
                    const double mp = double(picture.width()) * picture.height() / 1e6;
                    return std::chrono::duration<double, std::milli>(t1 - t0).count() / mp;
                };
                std::string text;
                smallPerMp.push_back(timed(image, &text));
                const QImage large = image.scaled(4000, 3000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                largePerMp.push_back(timed(large, &text));
                ++largeCount;
                if (QString::fromStdString(text) == s.expected)
                    ++largeCorrect;
                else if (!text.empty())
                    ++largeWrong;
            }
        }
        const auto median = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return v.empty() ? 0.0 : v[v.size() / 2];
        };
        std::printf("\nlarge pictures (%d photos scaled to 4000x3000, raw): %d correct, %d wrong\n", largeCount,
                    largeCorrect, largeWrong);
        std::printf("BENCH decoder_raw_own_size_ms_per_mp %.3f ms\n", median(smallPerMp));
        std::printf("BENCH decoder_raw_4000x3000_ms_per_mp %.3f ms\n", median(largePerMp));
        std::printf("BENCH decoder_raw_4000x3000_correct %d count\n", largeCorrect);
        std::printf("BENCH decoder_raw_4000x3000_wrong %d count\n", largeWrong);
    }

    // Rendered codes blurred by 0.8 to 1.2 modules (bars merged), with
    // noise and varying contrast, as a fixed-focus camera too close sees
    // them.
    std::printf("\nrendered codes, module 5 px (correct/wrong of %d per blur):\n", SYNTHETIC_CODES);
    Tally synthetic[MODE_COUNT];
    std::mt19937 rng(2024);
    for (const double blur : { 0.8, 1.0, 1.2 }) {
        Tally row[MODE_COUNT];
        for (int i = 0; i < SYNTHETIC_CODES; ++i) {
            std::string digits;
            for (int k = 0; k < 12; ++k)
                digits += char('0' + rng() % 10);
            digits += synthetic::checkDigit(digits);
            synthetic::Style style;
            style.module = 5;
            style.blur = blur * style.module;
            style.noise = 3;
            style.seed = i;
            style.paper = 190 + int(rng() % 50);
            style.ink = 20 + int(rng() % 60);
            const cv::Mat frame = synthetic::render(digits, style);
            cv::Mat grey;
            cv::extractChannel(frame, grey, 0);
            for (int m = 0; m < MODE_COUNT; ++m) {
                double ms = 0;
                const std::string text = reader.read(m, frame, grey, ms);
                row[m].ms.push_back(ms);
                ++(text.empty() ? row[m].nothing : text == digits ? row[m].correct : row[m].wrong);
            }
        }
        std::printf("blur %.1f modules      ", blur);
        for (int m = 0; m < MODE_COUNT; ++m) {
            std::printf(" | %3d %3d %3d %6.2f", row[m].correct, row[m].wrong, row[m].nothing, row[m].medianMs());
            synthetic[m].add(row[m]);
        }
        std::printf("\n");
    }

    std::printf("\n");
    for (int m = 0; m < MODE_COUNT; ++m) {
        const char *p = PREFIX[m];
        std::printf("BENCH %sdecoder_ms_median %.3f ms\n", p, total[m].medianMs());
        std::printf("BENCH %sdecoder_ms_p95 %.3f ms\n", p, total[m].p95Ms());
        std::printf("BENCH %sdecoder_correct_pct %.1f %%\n", p, total[m].pct(total[m].correct));
        std::printf("BENCH %sdecoder_wrong_pct %.1f %%\n", p, total[m].pct(total[m].wrong));
        std::printf("BENCH %sdecoder_tuning_correct_pct %.1f %%\n", p, tuning[m].pct(tuning[m].correct));
        std::printf("BENCH %sdecoder_heldout_correct_pct %.1f %%\n", p, heldOut[m].pct(heldOut[m].correct));
        std::printf("BENCH %sdecoder_heldout_wrong_pct %.1f %%\n", p, heldOut[m].pct(heldOut[m].wrong));
        std::printf("BENCH %sdecoder_blurry_correct_pct %.1f %%\n", p, blurry[m].pct(blurry[m].correct));
        std::printf("BENCH %sdecoder_false_reads %d count\n", p, falseReads[m]);
        std::printf("BENCH %sdecoder_rendered_blur_correct_pct %.1f %%\n", p, synthetic[m].pct(synthetic[m].correct));
    }
    return 0;
}

// The decoder's numeric routines, EAN-13 tables, checks, error correction
// the score of a box around traced bars and the sweep's bar stretches.

#include "barcode/decoder/SyntheticCode.h"
#include "barcode/decoder/digits.h"
#include "barcode/decoder/ean13.h"
#include "barcode/decoder/locate.h"
#include "barcode/decoder/numeric.h"
#include "barcode/decoder/simulator.h"
#include "barcode/decoder/sweep.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

using namespace barcode;

namespace {

std::vector<signed char> digitsOf(const char *text)
{
    std::vector<signed char> d;
    for (const char *p = text; *p; ++p)
        d.push_back(static_cast<signed char>(*p - '0'));
    return d;
}

int codeOf(const char *bits)
{
    return std::stoi(bits, nullptr, 2);
}

} // namespace

class TestDecoderRoutines : public QObject
{
    Q_OBJECT

private slots:
    // Extremes alternate and stand out by the step; a plateau counts at its
    // middle; the line's first sample and a last run without a turn are no
    // extremes.
    void profileExtremes_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("flat") << QByteArray(8, char(100)) << QList<int>();
        QTest::newRow("one bar") << QByteArray("\xc8\xc8\x14\xc8\xc8", 5) << QList<int> { 2 };
        QTest::newRow("plateau") << QByteArray("\xc8\x14\x14\x14\xc8", 5) << QList<int> { 2 };
        QTest::newRow("below the step") << QByteArray("\x64\x6a\x64\x6a\x64", 5) << QList<int>();
        QTest::newRow("bar and space") << QByteArray("\xc8\x14\xc8\x14\xc8", 5) << QList<int> { 1, 2, 3 };
    }

    void profileExtremes()
    {
        QFETCH(QByteArray, profile);
        QFETCH(QList<int>, expected);
        std::vector<int> found(profile.size());
        const int n = profile_extremes(reinterpret_cast<const uchar *>(profile.constData()), int(profile.size()), 10,
                                       found.data());
        QCOMPARE(QList<int>(found.begin(), found.begin() + n), expected);
    }

    // A rendered code's row gives one stretch from its first to its last
    // bar; a light gap as wide as a quiet zone (10 modules) across it ends
    // a stretch, and neither half has the extremes of a code.
    void barStretches_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::addColumn<int>("stretches");
        QTest::newRow("whole code") << false << 1;
        QTest::newRow("cut in the middle") << true << 0;
    }

    void barStretches()
    {
        QFETCH(bool, cut);
        QFETCH(int, stretches);
        synthetic::Style style;
        style.module = 3;
        cv::Mat frame = synthetic::render("4006381333931", style);
        if (cut)
            frame.colRange(316, 346).setTo(cv::Scalar::all(230));
        std::vector<uchar> row(frame.cols);
        for (int x = 0; x < frame.cols; ++x)
            row[x] = frame.at<cv::Vec3b>(240, x)[0];
        std::vector<int> extremes(row.size());
        const int n = profile_extremes(row.data(), int(row.size()), 10, extremes.data());
        std::vector<stretch> found;
        bar_stretches(row.data(), extremes.data(), n, 0, 0, found);
        QCOMPARE(int(found.size()), stretches);
        for (const stretch &st : found)
            QVERIFY2(!cut || st.to < 316 || st.from > 346,
                     qPrintable(QStringLiteral("%1 %2 %3").arg(st.from).arg(st.to).arg(st.extremes)));
        if (!cut) {
            // The guard bars' middles: modules 0 and 94 of a code centred
            // in the row.
            const double left = (640 - 95 * 3) / 2.0;
            QVERIFY(std::fabs(found[0].from - (left + 1.5)) <= 1.5);
            QVERIFY(std::fabs(found[0].to - (left + 94 * 3 + 1.5)) <= 1.5);
            QCOMPARE(found[0].extremes, 59);
        }
    }
    void gaussianKernel_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("sigma");
        QTest::newRow("smallest") << 7 << 1.0;
        QTest::newRow("first pass") << 41 << 20.0 / 3.0;
        QTest::newRow("largest") << 51 << 16.5;
        QTest::newRow("one tap") << 1 << 1.0;
    }

    void gaussianKernel()
    {
        QFETCH(int, count);
        QFETCH(double, sigma);
        std::vector<float> k(count);
        compute_gaussian_kernel(count, k.data(), sigma);
        const double sum = std::accumulate(k.begin(), k.end(), 0.0);
        QVERIFY(std::fabs(sum - 1.0) < 1e-6);
        for (int i = 0; i < count; ++i)
            QCOMPARE(k[i], k[count - 1 - i]);
        QCOMPARE(int(std::max_element(k.begin(), k.end()) - k.begin()), count / 2);
    }

    void kernelSize_data()
    {
        QTest::addColumn<double>("sigma");
        QTest::addColumn<int>("size");
        QTest::newRow("1 -> lrint 6 -> 7") << 1.0 << 7;
        QTest::newRow("20/3 -> 40 -> 41") << 20.0 / 3.0 << 41;
        QTest::newRow("1.25 -> 7.5 rounds to 8 -> 9") << 1.25 << 9;
        QTest::newRow("1.75 -> 10.5 rounds to 10 -> 11") << 1.75 << 11;
        QTest::newRow("capped at 51") << 16.67 << 51;
    }

    void kernelSize()
    {
        QFETCH(double, sigma);
        QFETCH(int, size);
        simulator sim;
        reset_simulator(sim);
        sim.sigma = sigma;
        compute_kernel(sim);
        QCOMPARE(sim.kernel_size, size);
    }

    void convolveRange_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("all") << 0 << 1000;
        QTest::newRow("inside") << 100 << 140;
        QTest::newRow("left edge") << 0 << 10;
        QTest::newRow("right edge") << 990 << 1000;
        QTest::newRow("beyond both ends") << -50 << 1200;
        QTest::newRow("empty") << 500 << 500;
    }

    // Samples outside [max(from, k/2), min(to, n - k/2)) keep their values;
    // inside, each is the kernel's weighted sum.
    void convolveRange()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        const int n = 1000, k = 7, half = k / 2;
        std::vector<float> kernel(k);
        compute_gaussian_kernel(k, kernel.data(), 1.3);
        std::vector<float> source(n), destination(n, -7.0f);
        std::mt19937 rng(3);
        std::uniform_real_distribution<float> value(0, 1);
        for (float &v : source)
            v = value(rng);
        convolve_1d(k, kernel.data(), n, source.data(), destination.data(), from, to);
        const int lo = std::max(from, half), hi = std::min(to, n - half);
        for (int j = 0; j < n; ++j) {
            if (j < lo || j >= hi) {
                QCOMPARE(destination[j], -7.0f);
                continue;
            }
            double sum = 0;
            for (int i = 0; i < k; ++i)
                sum += double(kernel[i]) * source[j - half + i];
            QCOMPARE(destination[j], float(sum));
        }
    }

    void percentiles_data()
    {
        QTest::addColumn<int>("m");
        QTest::newRow("1") << 1;
        QTest::newRow("19") << 19;
        QTest::newRow("20") << 20;
        QTest::newRow("101") << 101;
        QTest::newRow("940") << 940;
    }

    // Elements 0, m/20, m/2, m*95/100 and m-1 of the sorted range.
    void percentiles()
    {
        QFETCH(int, m);
        const int offset = 7;
        std::vector<float> values(m + 2 * offset, 1000.0f);
        std::vector<float> inner(m);
        std::iota(inner.begin(), inner.end(), 0.0f);
        std::shuffle(inner.begin(), inner.end(), std::mt19937(m));
        std::copy(inner.begin(), inner.end(), values.begin() + offset);
        float mn = -1, p5 = -1, p50 = -1, p95 = -1, mx = -1;
        median(int(values.size()), values.data(), offset, offset + m, &mn, &p5, &p50, &p95, &mx);
        QCOMPARE(mn, 0.0f);
        QCOMPARE(p5, float(m / 20));
        QCOMPARE(p50, float(m / 2));
        QCOMPARE(p95, float(m * 95 / 100));
        QCOMPARE(mx, float(m - 1));
        float untouched = -1;
        median(int(values.size()), values.data(), 5, 5, &untouched, nullptr, nullptr, nullptr, nullptr);
        QCOMPARE(untouched, -1.0f);
    }

    void codeTables()
    {
        for (int d = 0; d < 10; ++d) {
            QCOMPARE(LG[d], codeOf(synthetic::L_CODES[d]));
            QCOMPARE(LG[10 + d], codeOf(synthetic::G_CODES[d]));
            QCOMPARE(R[d], codeOf(synthetic::R_CODES[d]));
            int parity = 0;
            for (int i = 0; i < 6; ++i)
                parity = parity << 1 | (synthetic::PARITY[d][i] == 'G');
            QCOMPARE(FIRST_DIGIT[d], parity);
        }
    }

    void checksum_data()
    {
        QTest::addColumn<QByteArray>("digits");
        QTest::addColumn<int>("check");
        QTest::addColumn<bool>("valid");
        // 4+0+0+18+3+24+1+9+3+9+9+9 = 89: check digit 1.
        QTest::newRow("worked example") << QByteArray("4006381333931") << 1 << true;
        QTest::newRow("wrong check digit") << QByteArray("4006381333932") << 1 << false;
        QTest::newRow("UPC-A as EAN-13") << QByteArray("0036602301467") << 7 << true;
        QTest::newRow("all zero") << QByteArray("0000000000000") << 0 << true;
    }

    void checksum()
    {
        QFETCH(QByteArray, digits);
        QFETCH(int, check);
        QFETCH(bool, valid);
        std::vector<signed char> d = digitsOf(digits.constData());
        QCOMPARE(ean13_checksum(d.data()), check);
        QCOMPARE(is_valid_barcode(d.data()), valid);
        // A G-coded value adds a multiple of 10.
        d[4] = static_cast<signed char>(d[4] + 10);
        QCOMPARE(ean13_checksum(d.data()), check);
    }

    void firstDigit_data()
    {
        QTest::addColumn<QString>("parity");
        QTest::addColumn<int>("first");
        for (int d = 0; d < 10; ++d)
            QTest::addRow("%d", d) << QString::fromLatin1(synthetic::PARITY[d]) << d;
        QTest::newRow("GGGGGG") << QStringLiteral("GGGGGG") << -1;
        QTest::newRow("GLLLLL") << QStringLiteral("GLLLLL") << -1;
    }

    void firstDigit()
    {
        QFETCH(QString, parity);
        QFETCH(int, first);
        std::vector<signed char> d = digitsOf("0123456789012");
        for (int i = 0; i < 6; ++i)
            if (parity.at(i) == QLatin1Char('G'))
                d[1 + i] = static_cast<signed char>(d[1 + i] + 10);
        QCOMPARE(ean13_first_digit(d.data()), first);
        d[0] = static_cast<signed char>(first);
        if (first < 0) {
            QVERIFY(!is_valid_barcode(d.data()));
            char text[14];
            printable_digits(d.data(), text);
            QCOMPARE(text[0], '/');
        }
    }

    void correction_data()
    {
        QTest::addColumn<QByteArray>("guessed");
        QTest::addColumn<QList<int>>("alternatives"); // position, value, error (x1000)
        QTest::addColumn<QByteArray>("corrected");
        QTest::newRow("valid stays") << QByteArray("4006381333931") << QList<int> { 5, 2, 1 }
                                     << QByteArray("4006381333931");
        // Index 11 should be 3.
        QTest::newRow("one substitution")
            << QByteArray("4006381333971") << QList<int> { 10, 5, 3, 11, 3, 9 } << QByteArray("4006381333931");
        // Index 11 should be 3 (cost 5), but two cheap changes also give a
        // valid code (cost 1 + 1).
        QTest::newRow("the cheaper pair wins")
            << QByteArray("4006381333911") << QList<int> { 10, 8, 1, 12, 8, 1, 11, 3, 5 }
            << QByteArray("4006381333818");
        QTest::newRow("no valid combination leaves the digits")
            << QByteArray("4006381333971") << QList<int> { 11, 4, 1, 12, 2, 1 } << QByteArray("4006381333971");
    }

    void correction()
    {
        QFETCH(QByteArray, guessed);
        QFETCH(QList<int>, alternatives);
        QFETCH(QByteArray, corrected);
        std::vector<candidate> list;
        for (int i = 0; i + 2 < alternatives.size(); i += 3)
            list.push_back(
                { float(alternatives[i + 2]) / 1000, alternatives[i], static_cast<signed char>(alternatives[i + 1]) });
        list.push_back({ 0, -1, 0 });
        std::vector<signed char> d = digitsOf(guessed.constData());
        best_valid_barcode(list.data(), 3, d.data());
        QByteArray text;
        for (signed char v : d)
            text += char('0' + v);
        QCOMPARE(text, corrected);
    }

    void boxScore_data()
    {
        QTest::addColumn<int>("count"); // bars, 4 pixels apart, rows 50 to 150
        QTest::addColumn<int>("left"); // the zones' bars
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("changed"); // a bar whose ends move, or -1
        QTest::addColumn<int>("top"); // rows its ends move down by
        QTest::addColumn<int>("bottom");
        QTest::addColumn<int>("outside"); // half the length of the bars left of the box
        QTest::addColumn<double>("score");
        // Every end on its line gains a spacing: 12 x 2 x 4 = 96; the zones
        // add their brightness (200, 180) and width up to 10 (12, 8).
        QTest::newRow("straight box") << 12 << 0 << 11 << -1 << 0 << 0 << 0 << 494.0;
        QTest::newRow("fewer than 10 spacings") << 12 << 1 << 10 << -1 << 0 << 0 << 50 << 0.0;
        // An end within a spacing gains the rest of it; up to 3 pixels
        // above the line cost nothing more.
        QTest::newRow("inner top 3 above") << 12 << 0 << 11 << 5 << -3 << 0 << 0 << 491.0;
        // 5 above: gains -1 instead of 4, and loses twice the 5.
        QTest::newRow("inner top 5 above") << 12 << 0 << 11 << 5 << -5 << 0 << 0 << 479.0;
        // Beyond two spacings: no gain (-4), the overshoot (-20) and an
        // outer bar reaching past the line (-100).
        QTest::newRow("first top 10 above") << 12 << 0 << 11 << 0 << -10 << 0 << 0 << 370.0;
        // An outer bar stopping short: -4 and -500.
        QTest::newRow("first top 10 below") << 12 << 0 << 11 << 0 << 10 << 0 << 0 << -10.0;
        QTest::newRow("last bottom 10 above") << 12 << 0 << 11 << 11 << 0 << -10 << 0 << -10.0;
        // A guard bar reaching lower: free up to four spacings.
        QTest::newRow("last bottom 12 below") << 12 << 0 << 11 << 11 << 0 << 12 << 0 << 490.0;
        QTest::newRow("last bottom 20 below") << 12 << 0 << 11 << 11 << 0 << 20 << 0 << 390.0;
        // Two more bars of at least half the length beyond a zone: a third.
        QTest::newRow("two bars beyond the left zone") << 14 << 2 << 13 << -1 << 0 << 0 << 25 << 494.0 / 3;
        QTest::newRow("two short bars beyond") << 14 << 2 << 13 << -1 << 0 << 0 << 24 << 494.0;
    }

    void boxScore()
    {
        QFETCH(int, count);
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(int, changed);
        QFETCH(int, top);
        QFETCH(int, bottom);
        QFETCH(int, outside);
        QFETCH(double, score);
        std::vector<bar> bars(count);
        for (int i = 0; i < count; ++i) {
            const int x = 10 + 4 * i;
            const int half = i < left ? outside : 50;
            bars[i].middle = { x, 100 };
            bars[i].top = { x, 100 - half };
            bars[i].bottom = { x, 100 + half };
            bars[i].dark = i % 2;
        }
        if (changed >= 0) {
            bars[changed].top.y += top;
            bars[changed].bottom.y += bottom;
        }
        const quiet_zone leftZone { left, 200, 12 }, rightZone { right, 180, 8 };
        point corners[4];
        QCOMPARE(barcode_quality(bars, count, leftZone, rightZone, corners), score);
    }
};

QTEST_APPLESS_MAIN(TestDecoderRoutines)
#include "tst_decoder_routines.moc"

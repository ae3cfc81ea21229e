// The decoder end to end: rendered codes, real photos as the scanner sees
// them, hostile frames.

#include "barcode/decoder/BarCodeDecoder.h"
#include "barcode/decoder/SyntheticCode.h"
#include "barcode/decoder/decode.h"
#include "barcode/decoder/trace.h"
#include "barcode/frames/FrameConverter.h"

#include <QImageReader>
#include <QPoint>
#include <QTest>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstring>
#include <random>

using namespace barcode;

namespace {

// The working image the wrapper makes of a frame.
images workingImage(const cv::Mat &frame)
{
    images img;
    create_images(img, cv::Size(frame.cols / 2, frame.rows / 2));
    cv::Mat half;
    cv::resize(frame, half, img.gray.size(), 0, 0, cv::INTER_AREA);
    cv::extractChannel(half, img.gray, 2);
    cv::GaussianBlur(img.gray, img.gray, cv::Size(3, 3), 0, 0, cv::BORDER_REPLICATE);
    return img;
}

int barsOnMiddleRow(const cv::Mat &frame)
{
    images img = workingImage(frame);
    adaptive_threshold(img.gray, img.threshold, img.gray.cols / 60);
    std::vector<int> traces;
    std::vector<bar> bars;
    const int y = img.gray.rows / 2;
    return trace_barcode(img.gray, img.threshold, { 0, y }, { img.gray.cols - 1, y }, img.gray.cols / 4, traces, bars);
}

bool plausible(const std::string &text)
{
    return text.empty() || text.size() == 13;
}

// Five wide dark stripes on paper: bars enough to trace, too few for a box.
cv::Mat stripes()
{
    cv::Mat frame(480, 640, CV_8UC3, cv::Scalar::all(230));
    for (int i = 0; i < 5; ++i)
        frame(cv::Rect(220 + 40 * i, 90, 20, 300)).setTo(cv::Scalar::all(30));
    return frame;
}

// A rendered code turned by `degrees` about its centre and moved by
// (dx, dy) on white paper.
cv::Mat placed(const std::string &digits, double degrees, int dx, int dy)
{
    synthetic::Style style;
    style.module = 3;
    style.top = 150;
    style.bottom = 330;
    const cv::Mat code = synthetic::render(digits, style);
    cv::Mat turn = cv::getRotationMatrix2D(cv::Point2f(319.5f, 239.5f), degrees, 1.0);
    turn.at<double>(0, 2) += dx;
    turn.at<double>(1, 2) += dy;
    cv::Mat frame;
    cv::warpAffine(code, frame, turn, code.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar::all(230));
    return frame;
}

} // namespace

namespace barcode {

// Names in failure messages.
char *toString(failure reason)
{
    static const char *const names[]
        = { "none",           "unusable_image", "too_few_bars", "odd_bar_count",      "no_box",
            "degenerate_box", "no_code_edges",  "poor_fit",     "check_digit_failed", "ambiguous_digit" };
    return qstrdup(names[int(reason)]);
}

} // namespace barcode

Q_DECLARE_METATYPE(barcode::failure)

class TestDecoder : public QObject
{
    Q_OBJECT

private slots:
    void renderedCode_data()
    {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<double>("module");
        QTest::addColumn<double>("blur");
        QTest::addColumn<bool>("clean");
        QTest::newRow("worked example") << "4006381333931" << 5.0 << 0.8 << true;
        QTest::newRow("UPC-A") << "0036602301467" << 5.0 << 0.8 << true;
        QTest::newRow("first digit 9") << "9780201379624" << 5.0 << 0.8 << true;
        QTest::newRow("narrow modules") << "9780201379624" << 4.0 << 0.8 << false;
        QTest::newRow("blurred over a module") << "5901234123457" << 5.0 << 5.0 << false;
    }

    // A lone clean code crossing the middle row always gives 59 bars (30
    // bars, 29 spaces): the strict pipeline gives up on the odd count, the
    // default mode reads it. Codes whose narrow bars merge give fewer.
    void renderedCode()
    {
        QFETCH(QString, digits);
        QFETCH(double, module);
        QFETCH(double, blur);
        QFETCH(bool, clean);
        synthetic::Style style;
        style.module = module;
        style.blur = blur;
        const cv::Mat frame = synthetic::render(digits.toStdString(), style);
        QCOMPARE(QString::fromStdString(BarCodeDecoder::decode(frame)), digits);
        if (clean) {
            QCOMPARE(barsOnMiddleRow(frame), 59);
            QCOMPARE(QString::fromStdString(BarCodeDecoder::decode(frame.clone(), true)), QString());
        } else {
            QVERIFY(barsOnMiddleRow(frame) < 59);
        }
    }

    // A row that ends in the dark gives an even count, which the strict
    // pipeline searches.
    void strictReadsEvenCount()
    {
        cv::Mat frame = synthetic::render("4006381333931");
        frame.colRange(600, 640).setTo(cv::Scalar::all(20));
        QVERIFY(barsOnMiddleRow(frame) % 2 == 0);
        QCOMPARE(BarCodeDecoder::decode(frame.clone(), true), std::string("4006381333931"));
        QCOMPARE(BarCodeDecoder::decode(frame), std::string("4006381333931"));
    }

    void uprightCode()
    {
        const cv::Mat frame = synthetic::render("9780201379624", { 4.0 });
        cv::Mat square = cv::Mat(frame, cv::Rect(80, 0, 480, 480)).clone();
        cv::Mat upright;
        cv::rotate(square, upright, cv::ROTATE_90_COUNTERCLOCKWISE);
        cv::Mat wide(480, 640, CV_8UC3, cv::Scalar::all(230));
        upright.copyTo(wide(cv::Rect(80, 0, 480, 480)));
        QCOMPARE(BarCodeDecoder::decode(wide), std::string("9780201379624"));
    }

    void defaultModeLeavesTheFrame()
    {
        cv::Mat frame = synthetic::render("4006381333931");
        // Different channels, so that a swap would show.
        cv::Mat channels[3];
        cv::split(frame, channels);
        channels[0] = channels[0] / 2;
        cv::merge(channels, 3, frame);
        const cv::Mat before = frame.clone();
        QCOMPARE(BarCodeDecoder::decode(frame), std::string("4006381333931"));
        QCOMPARE(cv::norm(frame, before, cv::NORM_INF), 0.0);
        QCOMPARE(BarCodeDecoder::decode(frame), std::string("4006381333931"));

        // The strict mode swaps the caller's colour order.
        BarCodeDecoder::decode(frame, true);
        cv::Mat swapped;
        cv::cvtColor(before, swapped, cv::COLOR_BGR2RGB);
        QCOMPARE(cv::norm(frame, swapped, cv::NORM_INF), 0.0);
    }

    void nothingToRead_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("grey");
        QTest::newRow("black") << 640 << 480 << 0;
        QTest::newRow("grey") << 640 << 480 << 128;
        QTest::newRow("white") << 640 << 480 << 255;
        QTest::newRow("1x1") << 1 << 1 << 0;
        QTest::newRow("2x2") << 2 << 2 << 255;
        QTest::newRow("3x640") << 3 << 640 << 200;
        QTest::newRow("640x3") << 640 << 3 << 200;
        QTest::newRow("empty") << 0 << 0 << 0;
    }

    void nothingToRead()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, grey);
        const cv::Mat frame = width && height ? cv::Mat(height, width, CV_8UC3, cv::Scalar::all(grey)) : cv::Mat();
        QCOMPARE(BarCodeDecoder::decode(frame), std::string());
        QCOMPARE(BarCodeDecoder::decode(frame.clone(), true), std::string());
    }

    void photos_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("digits");
        QTest::newRow("EAN-13, phone") << "barcodes/zxing-ean13-1/4.webp"
                                       << "5449000039231";
        QTest::newRow("EAN-13, phone 2") << "barcodes/zxing-ean13-1/24.webp"
                                         << "5709262942503";
        QTest::newRow("EAN-13, crop") << "barcodes/zxing-ean13-3/01.png"
                                      << "9780764544200";
        QTest::newRow("EAN-13, shadows") << "barcodes/zxing-ean13-4/01.png"
                                         << "9780441014989";
        QTest::newRow("UPC-A, phone") << "barcodes/zxing-upca-1/21.webp"
                                      << "0752919460009";
        QTest::newRow("UPC-A, mixed") << "barcodes/zxing-upca-4/1.webp"
                                      << "0023942431015";
        QTest::newRow("UPC-A, crop") << "barcodes/zxing-upca-2/01.png"
                                     << "0890444000335";
        QTest::newRow("text, no code") << "no-barcode/falsepositives-01.jpg"
                                       << "";
        QTest::newRow("stripes, no code") << "no-barcode/falsepositives-2-12.jpg"
                                          << "";
    }

    void photos()
    {
        QFETCH(QString, file);
        QFETCH(QString, digits);
        const QString path = QStringLiteral(STASHLY_SHARED_DIR "/testdata/") + file;
        const QImage image = QImageReader(path).read();
        if (image.isNull())
            QSKIP(qPrintable(QStringLiteral("test photo not available: ") + path));
        const cv::Mat frame = FrameConverter::fromImage(image);
        QCOMPARE(QString::fromStdString(BarCodeDecoder::decode(frame)), digits);
    }

    void frameConversion_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("left"); // first frame column the picture covers
        QTest::newRow("camera size, unchanged") << 640 << 480 << 0;
        QTest::newRow("square, bordered") << 240 << 240 << 80;
        QTest::newRow("wide, cropped") << 1280 << 720 << 0;
    }

    // Luminance in all three channels, height 480, the centred 640 columns;
    // beyond a narrow picture its edge columns repeat.
    void frameConversion()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, left);
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, x < width / 2 ? qRgb(200, 40, 40) : qRgb(20, 180, 250));
        const cv::Mat frame = FrameConverter::fromImage(image);
        QCOMPARE(frame.cols, 640);
        QCOMPARE(frame.rows, 480);
        QCOMPARE(frame.type(), CV_8UC3);
        cv::Mat channels[3];
        cv::split(frame, channels);
        QCOMPARE(cv::norm(channels[0], channels[1], cv::NORM_INF), 0.0);
        QCOMPARE(cv::norm(channels[0], channels[2], cv::NORM_INF), 0.0);
        const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
        const int leftGrey = qGray(grey.pixel(0, 0)), rightGrey = qGray(grey.pixel(width - 1, 0));
        QCOMPARE(int(channels[0].at<uchar>(240, 0)), leftGrey);
        QCOMPARE(int(channels[0].at<uchar>(240, left + 5)), leftGrey);
        QCOMPARE(int(channels[0].at<uchar>(240, 639)), rightGrey);
        QCOMPARE(int(channels[0].at<uchar>(240, 639 - left - 5)), rightGrey);
    }

    // Nothing a frame holds may make the decoder read or write outside its
    // buffers (this test runs under the sanitizers too).
    void hostileFrames_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("content");
        const QList<QPair<int, int>> sizes = { { 1, 1 },   { 2, 2 },    { 3, 640 },   { 640, 3 },    { 5, 7 },
                                               { 61, 45 }, { 121, 31 }, { 640, 480 }, { 1920, 1080 } };
        for (const auto &[w, h] : sizes)
            for (const char *content : { "noise", "stripes" })
                QTest::addRow("%dx%d %s", w, h, content) << w << h << 3 << QString::fromLatin1(content);
        QTest::newRow("grey stripes") << 640 << 480 << 1 << "stripes";
        QTest::newRow("alpha stripes") << 640 << 480 << 4 << "stripes";
        QTest::newRow("large noise") << 3000 << 2000 << 3 << "noise";
    }

    void hostileFrames()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, channels);
        QFETCH(QString, content);
        std::mt19937 rng(uint32_t(width * 7919 + height));
        for (int round = 0; round < 4; ++round) {
            cv::Mat frame(height, width, CV_8UC(channels));
            if (content == QLatin1String("noise")) {
                cv::randu(frame, cv::Scalar::all(0), cv::Scalar::all(256));
            } else {
                // Bars of random widths and contrast, sometimes slanted:
                // these reach every stage of the pipeline.
                frame.setTo(cv::Scalar::all(std::uniform_int_distribution<int>(120, 255)(rng)));
                const int slant = std::uniform_int_distribution<int>(-width / 4 - 1, width / 4 + 1)(rng);
                for (int x = std::uniform_int_distribution<int>(0, 40)(rng); x < width;) {
                    const int bw = std::uniform_int_distribution<int>(1, 12)(rng);
                    const int ink = std::uniform_int_distribution<int>(0, 100)(rng);
                    const int top = std::uniform_int_distribution<int>(0, height / 3 + 1)(rng);
                    cv::line(frame, { x, top }, { x + slant, height - 1 - top }, cv::Scalar::all(ink), bw);
                    x += bw + std::uniform_int_distribution<int>(1, 14)(rng);
                }
            }
            QVERIFY(plausible(BarCodeDecoder::decode(frame)));
            QVERIFY(plausible(BarCodeDecoder::decode(frame.clone(), true)));
        }
    }

    // Codes the middle rows miss: tilted, turned, upside down, or near an
    // edge of the frame.
    void placedCode_data()
    {
        QTest::addColumn<double>("degrees");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::newRow("tilted 20") << 20.0 << 0 << 0;
        QTest::newRow("tilted -30") << -30.0 << 0 << 0;
        QTest::newRow("tilted 45") << 45.0 << 0 << 0;
        QTest::newRow("turned 120") << 120.0 << 0 << 0;
        QTest::newRow("upside down") << 180.0 << 0 << 0;
        QTest::newRow("upside down, tilted") << 200.0 << 0 << 0;
        QTest::newRow("bottom right corner") << 0.0 << 160 << 140;
        QTest::newRow("top left, tilted") << 10.0 << -150 << -140;
    }

    void placedCode()
    {
        QFETCH(double, degrees);
        QFETCH(int, dx);
        QFETCH(int, dy);
        const cv::Mat frame = placed("9780201379624", degrees, dx, dy);
        QCOMPARE(QString::fromStdString(BarCodeDecoder::decode(frame)), QStringLiteral("9780201379624"));
    }

    // Frames from a single pixel to 4000 x 4000 of nothing but paper,
    // noise or stripes: no crash under the sanitizers, and no read.
    void fuzzFrames_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("content");
        const QList<QPair<int, int>> sizes = { { 1, 1 },   { 1, 4000 }, { 4000, 1 },  { 2, 3 },      { 7, 2 },
                                               { 33, 17 }, { 300, 40 }, { 640, 480 }, { 1000, 999 }, { 4000, 4000 } };
        for (const auto &[w, h] : sizes)
            for (const char *content : { "constant", "noise", "stripes", "checks" })
                QTest::addRow("%dx%d %s", w, h, content) << w << h << QString::fromLatin1(content);
    }

    void fuzzFrames()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, content);
        std::mt19937 rng(uint32_t(width * 31 + height));
        cv::Mat frame(height, width, CV_8UC3);
        if (content == QLatin1String("constant")) {
            frame.setTo(cv::Scalar::all(std::uniform_int_distribution<int>(0, 255)(rng)));
        } else if (content == QLatin1String("noise")) {
            cv::randu(frame, cv::Scalar::all(0), cv::Scalar::all(256));
        } else if (content == QLatin1String("stripes")) {
            // Evenly spaced bars at a random angle: regular, bar-like and
            // code-sized, yet no code.
            frame.setTo(cv::Scalar::all(220));
            const double angle = std::uniform_real_distribution<double>(0, CV_PI)(rng);
            const int period = std::uniform_int_distribution<int>(3, 12)(rng);
            const double c = std::cos(angle), sn = std::sin(angle);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    if (int(std::floor((x * c + y * sn) / period)) % 2 == 0)
                        frame.at<cv::Vec3b>(y, x) = cv::Vec3b(30, 30, 30);
        } else {
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    frame.at<cv::Vec3b>(y, x) = cv::Vec3b::all(((x / 5 + y / 5) % 2) ? 240 : 20);
        }
        QCOMPARE(BarCodeDecoder::decode(frame), std::string());
    }

    // Each stage that gives up says so; digits come only with success.
    void failureReasons_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<bool>("strict");
        QTest::addColumn<failure>("reason");
        QTest::addColumn<QString>("digits");
        QTest::newRow("code") << "4006381333931" << false << failure::none << "4006381333931";
        QTest::newRow("code, strict: 59 bars") << "4006381333931" << true << failure::odd_bar_count << "";
        QTest::newRow("uniform") << "uniform" << false << failure::too_few_bars << "";
        QTest::newRow("uniform, strict") << "uniform" << true << failure::too_few_bars << "";
        QTest::newRow("five stripes") << "stripes" << false << failure::no_box << "";
        QTest::newRow("wrong check digit") << "4006381333932" << false << failure::check_digit_failed << "";
        QTest::newRow("blurred, noisy, narrow") << "blurred" << false << failure::poor_fit << "";
    }

    void failureReasons()
    {
        QFETCH(QString, picture);
        QFETCH(bool, strict);
        QFETCH(failure, reason);
        QFETCH(QString, digits);
        cv::Mat frame;
        if (picture == QLatin1String("uniform")) {
            frame = cv::Mat(480, 640, CV_8UC3, cv::Scalar::all(128));
        } else if (picture == QLatin1String("stripes")) {
            frame = stripes();
        } else if (picture == QLatin1String("blurred")) {
            synthetic::Style style;
            style.module = 3;
            style.blur = 5;
            style.noise = 25;
            frame = synthetic::render("4006381333931", style);
        } else {
            frame = synthetic::render(picture.toStdString());
        }
        images img = workingImage(frame);
        const decode_result result = decode(img, { .strict = strict });
        QCOMPARE(result.reason, reason);
        QCOMPARE(result.ok(), reason == failure::none);
        QCOMPARE(QString::fromLatin1(result.digits), digits);
    }

    void unusableImage_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << CV_8UC1 << 0;
        QTest::newRow("colour") << CV_8UC3 << 100;
        QTest::newRow("16 bits") << CV_16UC1 << 100;
    }

    void unusableImage()
    {
        QFETCH(int, type);
        QFETCH(int, size);
        images img;
        img.gray = cv::Mat(size, size, type, cv::Scalar::all(0));
        QCOMPARE(decode(img, {}).reason, failure::unusable_image);
    }

    // A box that gives no viewing distance, and one over blank paper.
    void readingFailures_data()
    {
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<QPoint>("bottomRight");
        QTest::addColumn<failure>("reason");
        QTest::newRow("no box") << QPoint(0, 0) << QPoint(0, 0) << failure::degenerate_box;
        QTest::newRow("far wider than the image") << QPoint(-1000, 100) << QPoint(1000, 140) << failure::degenerate_box;
        QTest::newRow("blank paper below the code") << QPoint(10, 200) << QPoint(300, 230) << failure::no_code_edges;
    }

    void readingFailures()
    {
        QFETCH(QPoint, topLeft);
        QFETCH(QPoint, bottomRight);
        QFETCH(failure, reason);
        images img = workingImage(synthetic::render("4006381333931"));
        img.corners[0] = { topLeft.x(), topLeft.y() };
        img.corners[1] = { bottomRight.x(), topLeft.y() };
        img.corners[2] = { bottomRight.x(), bottomRight.y() };
        img.corners[3] = { topLeft.x(), bottomRight.y() };
        for (const bool strict : { false, true })
            QCOMPARE(read_barcode(img, { .strict = strict }).reason, reason);
    }

    // Which measure of a finished run refuses it in the default mode.
    void weighResult_data()
    {
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("margin");
        QTest::addColumn<double>("fit");
        QTest::addColumn<failure>("reason");
        QTest::newRow("close fit, clear margin") << true << 0.02 << 0.005 << failure::none;
        QTest::newRow("margin at the limit") << true << MIN_DIGIT_MARGIN << 0.005 << failure::none;
        QTest::newRow("invalid before correction") << false << 0.02 << 0.005 << failure::check_digit_failed;
        QTest::newRow("close runner-up") << true << 0.001 << 0.005 << failure::ambiguous_digit;
        QTest::newRow("loose fit, margin beyond the misfit") << true << 0.025 << 0.02 << failure::none;
        QTest::newRow("loose fit, runner-up within the misfit") << true << 0.01 << 0.02 << failure::ambiguous_digit;
        QTest::newRow("fit too far off") << true << 0.5 << MAX_LOOSE_FIT_ERROR << failure::poor_fit;
    }

    void weighResult()
    {
        QFETCH(bool, valid);
        QFETCH(double, margin);
        QFETCH(double, fit);
        QFETCH(failure, reason);
        images img;
        img.valid_before_correction = valid;
        img.digit_margin = margin;
        img.fit_error = fit;
        QCOMPARE(weigh_result(img), reason);
    }

    // Reading any box, however far outside the image, stays inside the
    // buffers.
    void hostileBoxes()
    {
        const cv::Mat frame = synthetic::render("4006381333931");
        std::mt19937 rng(11);
        std::uniform_int_distribution<int> coordinate(-2000, 2000), small(-3, 3);
        for (int round = 0; round < 60; ++round) {
            images img = workingImage(frame);
            for (point &p : img.corners)
                p = round % 3 == 0 ? point { small(rng), small(rng) } : point { coordinate(rng), coordinate(rng) };
            for (const decode_options &options :
                 { decode_options {}, decode_options { .strict = true }, decode_options { .check_result = false } }) {
                const decode_result result = read_barcode(img, options);
                QCOMPARE(std::strlen(result.digits), result.ok() ? size_t(13) : size_t(0));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestDecoder)
#include "tst_decoder.moc"

#include "DecodeCommands.h"

#include "ImageFileLoader.h"

#include "barcode/decoder/BarCodeDecoder.h"
#include "barcode/frames/FrameConverter.h"

namespace {

const char *const Usage = "Usage: stashly-cli decode [--strict] [--raw] IMAGE ...\n";

// Prints "path<TAB>digits" for each picture, the digits empty when no code
// was read. Unreadable pictures are reported on the error stream and make
// the status 2; the others are still decoded.
int runDecode(CliContext &ctx, const QStringList &args)
{
    bool strict = false;
    bool raw = false;
    QStringList paths;
    for (const QString &a : args) {
        if (a == QLatin1String("--strict"))
            strict = true;
        else if (a == QLatin1String("--raw"))
            raw = true;
        else if (a.startsWith(QLatin1String("--"))) {
            ctx.err << "Unknown option " << a << '\n' << Usage;
            return 2;
        } else
            paths.append(a);
    }
    if (paths.isEmpty()) {
        ctx.err << Usage;
        return 2;
    }

    int status = 0;
    for (const QString &path : paths) {
        const ImageFileLoader::Result loaded = ImageFileLoader::load(path);
        const QImage &image = loaded.image;
        if (image.isNull()) {
            ctx.err << "Cannot read the image \"" << path << "\": " << loaded.error << '\n';
            status = 2;
            continue;
        }
        // The frame the scanner would hand over, or the picture as it is.
        const cv::Mat frame = raw ? FrameConverter::rawFrame(image) : FrameConverter::fromImage(image);
        QString digits = QString::fromStdString(BarCodeDecoder::decode(frame, strict));
        // A first digit that no parity pattern gives ("/") is no code.
        if (digits.startsWith(QLatin1Char('/')))
            digits.clear();
        ctx.out << path << '\t' << digits << '\n';
    }
    return status;
}

} // namespace

void addDecodeCommands(CliRegistry &registry)
{
    registry.add({ QStringLiteral("decode"), QStringLiteral("decode [--strict] [--raw] IMAGE ..."),
                   QStringLiteral("read the EAN-13/UPC-A code in pictures as the scanner does"), runDecode });
}

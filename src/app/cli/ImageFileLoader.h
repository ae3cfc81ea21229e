#pragma once

#include <QImage>
#include <QString>

// Reads the pictures given on the command line. Only regular files are opened
// (a named pipe or a device would stall the read or never end), and pictures
// larger than a fixed bound are scaled down while they are read, so that a
// photo of any size decodes in bounded memory.
class ImageFileLoader
{
public:
    // Pictures that take up to this much memory once read are read as they
    // are: it is the image reader's own default limit, so every picture it
    // read before gives the same frame. Larger ones are read at a half, a
    // quarter or an eighth of their size, the least reduction that fits.
    static constexpr qint64 maximumBytes = qint64(128) * 1024 * 1024;
    static constexpr int largestReduction = 8;

    struct Result
    {
        QImage image;
        // Why there is no image: one phrase, without the path.
        QString error;
    };

    static Result load(const QString &path);
};

#include "capture/encoders.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <vector>

namespace klavoro {
namespace {

struct Palette {
    std::vector<QRgb> colours;
    std::vector<uchar> indices; // one per pixel
};

// Screenshots of dialogs rarely use more than 256 colours: keep them exactly.
bool exactPalette(const QImage& img, Palette* out) {
    constexpr int kSlots = 1024; // open addressing, load factor <= 1/4
    std::array<QRgb, kSlots> keys{};
    std::array<int, kSlots> values;
    values.fill(-1);
    out->colours.clear();
    out->indices.resize(size_t(img.width()) * size_t(img.height()));
    size_t k = 0;
    QRgb last = 0;
    int lastIndex = -1;
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x, ++k) {
            const QRgb c = line[x] & 0xFFFFFF;
            if (c != last || lastIndex < 0) {
                unsigned h = (c * 2654435761u) >> 22; // 10 bits
                while (values[h] >= 0 && keys[h] != c)
                    h = (h + 1) & (kSlots - 1);
                if (values[h] < 0) {
                    if (out->colours.size() == 256) return false;
                    keys[h] = c;
                    values[h] = static_cast<int>(out->colours.size());
                    out->colours.push_back(c);
                }
                last = c;
                lastIndex = values[h];
            }
            out->indices[k] = static_cast<uchar>(lastIndex);
        }
    }
    return true;
}

// Median cut over a 15-bit colour histogram: 256 boxes, each colour the mean
// of the pixels that fall into it.
void medianCutPalette(const QImage& img, Palette* out) {
    constexpr int kBins = 1 << 15;
    auto bin = [](QRgb c) {
        return ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3);
    };
    std::vector<quint32> count(kBins, 0);
    std::vector<quint64> sum(kBins * 3, 0);
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x];
            const int b = bin(c);
            ++count[b];
            sum[b * 3] += qRed(c);
            sum[b * 3 + 1] += qGreen(c);
            sum[b * 3 + 2] += qBlue(c);
        }
    }
    std::vector<int> bins;
    for (int b = 0; b < kBins; ++b)
        if (count[b]) bins.push_back(b);

    struct Box {
        int begin, end; // range in `bins`
        quint64 pixels;
        int axis, extent;
    };
    auto channel = [](int b, int axis) { return (b >> (10 - 5 * axis)) & 31; };
    auto measure = [&](Box& box) {
        int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
        box.pixels = 0;
        for (int i = box.begin; i < box.end; ++i) {
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], channel(bins[i], a));
                hi[a] = std::max(hi[a], channel(bins[i], a));
            }
            box.pixels += count[bins[i]];
        }
        box.axis = 0;
        for (int a = 1; a < 3; ++a)
            if (hi[a] - lo[a] > hi[box.axis] - lo[box.axis]) box.axis = a;
        box.extent = hi[box.axis] - lo[box.axis];
    };
    std::vector<Box> boxes{{0, static_cast<int>(bins.size()), 0, 0, 0}};
    measure(boxes[0]);
    while (boxes.size() < 256) {
        // Split the box where the most pixels meet the widest spread.
        int best = -1;
        double bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            const Box& b = boxes[i];
            if (b.end - b.begin < 2 || b.extent == 0) continue;
            const double score = double(b.pixels) * b.extent;
            if (score > bestScore) {
                bestScore = score;
                best = static_cast<int>(i);
            }
        }
        if (best < 0) break;
        Box box = boxes[best];
        std::sort(bins.begin() + box.begin, bins.begin() + box.end,
                  [&](int l, int r) { return channel(l, box.axis) < channel(r, box.axis); });
        quint64 half = 0;
        int mid = box.begin;
        while (mid < box.end - 1 && half + count[bins[mid]] <= box.pixels / 2)
            half += count[bins[mid++]];
        if (mid == box.begin) ++mid;
        Box a{box.begin, mid, 0, 0, 0}, b{mid, box.end, 0, 0, 0};
        measure(a);
        measure(b);
        boxes[best] = a;
        boxes.push_back(b);
    }
    std::vector<uchar> lookup(kBins, 0);
    out->colours.clear();
    for (const Box& box : boxes) {
        quint64 r = 0, g = 0, bl = 0, n = 0;
        for (int i = box.begin; i < box.end; ++i) {
            const int b = bins[i];
            r += sum[b * 3];
            g += sum[b * 3 + 1];
            bl += sum[b * 3 + 2];
            n += count[b];
            lookup[b] = static_cast<uchar>(out->colours.size());
        }
        n = std::max<quint64>(n, 1);
        out->colours.push_back(
            qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((bl + n / 2) / n)));
    }
    out->indices.resize(size_t(img.width()) * size_t(img.height()));
    size_t k = 0;
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            out->indices[k++] = lookup[bin(line[x])];
    }
}

int appendToBuffer(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

} // namespace

QByteArray encodeGif(const QImage& image, QString* error) {
    auto failed = [&](const QString& why) {
        if (error) *error = why;
        return QByteArray();
    };
    if (image.isNull() || image.width() > 65535 || image.height() > 65535)
        return failed(QStringLiteral("GIF にできない画像です"));
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    Palette palette;
    if (!exactPalette(img, &palette)) medianCutPalette(img, &palette);

    int bits = 1;
    while ((1 << bits) < static_cast<int>(palette.colours.size()))
        ++bits;
    std::vector<GifColorType> colours(size_t(1) << bits, GifColorType{0, 0, 0});
    for (size_t i = 0; i < palette.colours.size(); ++i)
        colours[i] = {GifByteType(qRed(palette.colours[i])),
                      GifByteType(qGreen(palette.colours[i])),
                      GifByteType(qBlue(palette.colours[i]))};

    QByteArray out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, appendToBuffer, &err);
    if (!gif) return failed(QString::fromLatin1(GifErrorString(err)));
    ColorMapObject* map = GifMakeMapObject(1 << bits, colours.data());
    bool ok = map && EGifPutScreenDesc(gif, img.width(), img.height(), bits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, img.width(), img.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < img.height(); ++y)
        ok = EGifPutLine(gif, palette.indices.data() + size_t(y) * size_t(img.width()),
                         img.width()) == GIF_OK;
    QString why = ok ? QString() : QString::fromLatin1(GifErrorString(gif->Error));
    if (EGifCloseFile(gif, &err) != GIF_OK && ok) {
        ok = false;
        why = QString::fromLatin1(GifErrorString(err));
    }
    if (map) GifFreeMapObject(map);
    return ok ? out : failed(why);
}

} // namespace klavoro

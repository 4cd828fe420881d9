// tarnwick_icons FOLDER: writes the suite's icons as Windows icon files
// (NAME.ico with 16, 32 and 48 pixel images, 32 bits with alpha), drawn by the
// same code as the Qt view's icons. The Windows build has no Qt, so it takes
// the files this program made (platform/forms/win32/icons/).

#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/forms/qt/icons.h"

namespace {

void Put16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

// One image of an icon file: a bottom-up 32-bit DIB, then its AND mask (all
// clear: the alpha channel says what is transparent).
std::string Image(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int s = image.width();
    std::string out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(s));
    Put32(out, static_cast<std::uint32_t>(2 * s));  // colours and mask
    Put16(out, 1);
    Put16(out, 32);
    for (int i = 0; i < 6; ++i) Put32(out, 0);
    for (int y = s - 1; y >= 0; --y)
        for (int x = 0; x < s; ++x) Put32(out, image.pixel(x, y));
    const int maskRow = ((s + 31) / 32) * 4;
    out.append(static_cast<std::size_t>(maskRow * s), '\0');
    return out;
}

std::string IconFile(const std::string& name) {
    const int sizes[] = {16, 32, 48};
    std::vector<std::string> images;
    for (int s : sizes) images.push_back(Image(forms::qt::IconPixmap("icon:" + name, s).toImage()));
    std::string out;
    Put16(out, 0);
    Put16(out, 1);  // an icon
    Put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out += static_cast<char>(sizes[i]);
        out += static_cast<char>(sizes[i]);
        out += '\0';  // no palette
        out += '\0';
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<std::uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const std::string& image : images) out += image;
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarnwick_icons FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (const char* name : {"larkspur", "fenmoor", "quillon", "config", "wendover"}) {
        const std::string path = std::string(argv[1]) + "/" + name + ".ico";
        std::ofstream file(path, std::ios::binary);
        file << IconFile(name);
        if (!file.flush()) {
            std::fprintf(stderr, "tarnwick_icons: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

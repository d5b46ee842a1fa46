// td-pixmap: turns a picture drawn as text into a Windows .bmp or .ico file.
//
// The program's pictures are kept as small text pixel maps so that they can
// be read, changed and compared like code. A pixel map file holds one or
// more images:
//
//   # comment
//   image 32 32 4          width, height, bits per pixel (4 or 8)
//   colour k 000000        a character and its colour (hex RRGGBB)
//   colour . transparent   icons only: a pixel that shows the background
//   rows
//   kkkk....               height rows of width characters, top row first
//   end
//
// Colours are listed per image; a character used in the rows must have a
// colour. A .bmp takes the first image; an .ico takes every image.
//
// usage: td-pixmap input.txt output.bmp|output.ico
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool transparent = false;
};

struct Image {
    int width = 0, height = 0, bits = 4;
    std::map<char, Colour> colours;
    std::vector<std::string> rows;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    std::fprintf(stderr, "td-pixmap: %s: %s\n", where.c_str(), what.c_str());
    std::exit(1);
}

std::vector<Image> Parse(const std::string& path) {
    std::ifstream in(path);
    if (!in) Fail(path, "cannot be read");
    std::vector<Image> images;
    std::string line;
    int number = 0;
    bool in_rows = false;
    while (std::getline(in, line)) {
        ++number;
        const std::string where = path + ":" + std::to_string(number);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (in_rows) {
            if (line == "end") {
                in_rows = false;
                Image& image = images.back();
                if (static_cast<int>(image.rows.size()) != image.height)
                    Fail(where, "image has " + std::to_string(image.rows.size()) + " rows, expected " +
                                    std::to_string(image.height));
                continue;
            }
            Image& image = images.back();
            if (static_cast<int>(line.size()) != image.width)
                Fail(where, "row is " + std::to_string(line.size()) + " wide, expected " + std::to_string(image.width));
            for (char c : line)
                if (image.colours.find(c) == image.colours.end()) Fail(where, std::string("no colour for '") + c + "'");
            image.rows.push_back(line);
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "image") {
            Image image;
            words >> image.width >> image.height >> image.bits;
            if (image.width <= 0 || image.height <= 0 || (image.bits != 4 && image.bits != 8))
                Fail(where, "image needs width, height and 4 or 8 bits per pixel");
            images.push_back(image);
        } else if (keyword == "colour") {
            if (images.empty()) Fail(where, "colour before image");
            // The character may be a blank, so take it from the line itself.
            const std::size_t at = line.find("colour") + 7;
            if (at >= line.size()) Fail(where, "colour needs a character");
            const char c = line[at];
            std::istringstream value(line.substr(at + 1));
            std::string hex;
            value >> hex;
            Colour colour;
            if (hex == "transparent") {
                colour.transparent = true;
            } else {
                if (hex.size() != 6) Fail(where, "colour must be RRGGBB");
                const unsigned long rgb = std::stoul(hex, nullptr, 16);
                colour.r = static_cast<std::uint8_t>(rgb >> 16);
                colour.g = static_cast<std::uint8_t>(rgb >> 8);
                colour.b = static_cast<std::uint8_t>(rgb);
            }
            images.back().colours[c] = colour;
        } else if (keyword == "rows") {
            if (images.empty()) Fail(where, "rows before image");
            in_rows = true;
        } else {
            Fail(where, "unknown keyword '" + keyword + "'");
        }
    }
    if (in_rows) Fail(path, "missing end");
    if (images.empty()) Fail(path, "no image");
    return images;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

struct Encoded {
    std::vector<std::uint8_t> palette;  // RGBQUADs
    std::vector<std::uint8_t> pixels;   // bottom-up, rows padded to 4 bytes
    std::vector<std::uint8_t> mask;     // bottom-up 1 bit per pixel, 1 = transparent
};

Encoded Encode(const Image& image, const std::string& path) {
    const int palette_size = 1 << image.bits;
    std::map<char, int> index;
    Encoded e;
    e.palette.assign(static_cast<std::size_t>(palette_size) * 4, 0);
    int next = 0;
    for (const auto& [c, colour] : image.colours) {
        if (next >= palette_size) Fail(path, "more colours than the bit depth holds");
        index[c] = next;
        if (!colour.transparent) {
            e.palette[next * 4 + 0] = colour.b;
            e.palette[next * 4 + 1] = colour.g;
            e.palette[next * 4 + 2] = colour.r;
        }
        ++next;
    }
    const int row_bytes = ((image.width * image.bits + 31) / 32) * 4;
    const int mask_bytes = ((image.width + 31) / 32) * 4;
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(row_bytes, 0), mrow(mask_bytes, 0);
        for (int x = 0; x < image.width; ++x) {
            const char c = image.rows[y][x];
            const int v = index[c];
            if (image.bits == 8) {
                row[x] = static_cast<std::uint8_t>(v);
            } else {
                row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? v << 4 : v);
            }
            if (image.colours.at(c).transparent) mrow[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
        e.pixels.insert(e.pixels.end(), row.begin(), row.end());
        e.mask.insert(e.mask.end(), mrow.begin(), mrow.end());
    }
    return e;
}

void PutInfoHeader(std::vector<std::uint8_t>& out, const Image& image, int height, std::uint32_t image_size) {
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(image.width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(image.bits));
    Put32(out, 0);  // BI_RGB
    Put32(out, image_size);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(1 << image.bits));
    Put32(out, 0);
}

std::vector<std::uint8_t> Bitmap(const Image& image, const std::string& path) {
    const Encoded e = Encode(image, path);
    std::vector<std::uint8_t> out;
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(e.palette.size());
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + static_cast<std::uint32_t>(e.pixels.size()));
    Put32(out, 0);
    Put32(out, offset);
    PutInfoHeader(out, image, image.height, static_cast<std::uint32_t>(e.pixels.size()));
    out.insert(out.end(), e.palette.begin(), e.palette.end());
    out.insert(out.end(), e.pixels.begin(), e.pixels.end());
    return out;
}

std::vector<std::uint8_t> Icon(const std::vector<Image>& images, const std::string& path) {
    std::vector<std::vector<std::uint8_t>> bodies;
    for (const Image& image : images) {
        const Encoded e = Encode(image, path);
        std::vector<std::uint8_t> body;
        // An icon's header counts the colour image and its mask together.
        PutInfoHeader(body, image, image.height * 2, static_cast<std::uint32_t>(e.pixels.size() + e.mask.size()));
        body.insert(body.end(), e.palette.begin(), e.palette.end());
        body.insert(body.end(), e.pixels.begin(), e.pixels.end());
        body.insert(body.end(), e.mask.begin(), e.mask.end());
        bodies.push_back(body);
    }
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Image& image = images[i];
        out.push_back(static_cast<std::uint8_t>(image.width));
        out.push_back(static_cast<std::uint8_t>(image.height));
        out.push_back(static_cast<std::uint8_t>(image.bits == 4 ? 16 : 0));
        out.push_back(0);
        Put16(out, 1);
        Put16(out, static_cast<unsigned>(image.bits));
        Put32(out, static_cast<std::uint32_t>(bodies[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(bodies[i].size());
    }
    for (const auto& body : bodies) out.insert(out.end(), body.begin(), body.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: td-pixmap input.txt output.bmp|output.ico\n");
        return 2;
    }
    const std::string input = argv[1], output = argv[2];
    const std::vector<Image> images = Parse(input);
    std::vector<std::uint8_t> bytes;
    if (output.size() > 4 && output.substr(output.size() - 4) == ".ico") {
        bytes = Icon(images, input);
    } else if (output.size() > 4 && output.substr(output.size() - 4) == ".bmp") {
        bytes = Bitmap(images.front(), input);
    } else {
        Fail(output, "must end in .bmp or .ico");
    }
    std::ofstream out(output, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) Fail(output, "cannot be written");
    return 0;
}

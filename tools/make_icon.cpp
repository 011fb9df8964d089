// Build-machine tool: turns a text pixel map into a Windows icon file.
//
//   make_icon MAP.txt OUT.ico
//
// The map holds 16 lines of 16 characters after any lines beginning with
// '#'; each character is one of the 16 standard colours (see the legend in
// the maps) or '.' for a transparent pixel. The icon gets that 16 x 16 image
// in 16 colours and a blank (fully transparent) 32 x 32 image.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char Legend[] = "KrnybmcgGRNYBMCW";  // index = colour number
const uint8_t Palette[16][3] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};
const char Transparent = '.';

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, unsigned value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void Put32(Bytes& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// Rows of an icon bitmap are padded to 4 bytes and stored bottom-up.
unsigned RowBytes(unsigned bitsPerRow) { return (bitsPerRow + 31) / 32 * 4; }

// One image: header, palette, 4-bit colour bits, 1-bit transparency mask.
// rows is empty for a blank image.
Bytes IconImage(unsigned size, const std::vector<std::string>& rows)
{
    unsigned colourRow = RowBytes(size * 4), maskRow = RowBytes(size);
    Bytes out;
    Put32(out, 40);
    Put32(out, size);
    Put32(out, size * 2);  // colour bits and mask together
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, (colourRow + maskRow) * size);
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    for (const auto& colour : Palette) {
        out.push_back(colour[2]);
        out.push_back(colour[1]);
        out.push_back(colour[0]);
        out.push_back(0);
    }
    for (unsigned y = size; y-- > 0;) {
        Bytes row(colourRow, 0);
        for (unsigned x = 0; x < size && !rows.empty(); ++x) {
            const char* found = strchr(Legend, rows[y][x]);
            unsigned index = rows[y][x] != Transparent && found ? unsigned(found - Legend) : 0;
            row[x / 2] |= uint8_t(x % 2 ? index : index << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (unsigned y = size; y-- > 0;) {
        Bytes row(maskRow, 0);
        for (unsigned x = 0; x < size; ++x)
            if (rows.empty() || rows[y][x] == Transparent)
                row[x / 8] |= uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool ReadMap(const char* path, std::vector<std::string>& rows)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        if (line.size() != 16) {
            fprintf(stderr, "%s: a row of %zu characters, not 16: %s\n", path, line.size(), line.c_str());
            return false;
        }
        for (char c : line) {
            if (c != Transparent && !strchr(Legend, c)) {
                fprintf(stderr, "%s: unknown colour '%c'\n", path, c);
                return false;
            }
        }
        rows.push_back(line);
    }
    if (rows.size() != 16) {
        fprintf(stderr, "%s: %zu rows, not 16\n", path, rows.size());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> rows;
    if (argc != 3 || !ReadMap(argv[1], rows)) {
        fprintf(stderr, "usage: make_icon MAP.txt OUT.ico\n");
        return 1;
    }
    const Bytes images[] = {IconImage(16, rows), IconImage(32, {})};
    Bytes file;
    Put16(file, 0);
    Put16(file, 1);  // icon
    Put16(file, 2);
    uint32_t offset = 6 + 16 * 2;
    for (unsigned i = 0; i < 2; ++i) {
        unsigned size = i == 0 ? 16 : 32;
        file.push_back(uint8_t(size));
        file.push_back(uint8_t(size));
        file.push_back(16);  // colours
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 4);
        Put32(file, uint32_t(images[i].size()));
        Put32(file, offset);
        offset += uint32_t(images[i].size());
    }
    for (const Bytes& image : images)
        file.insert(file.end(), image.begin(), image.end());
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return out ? 0 : 1;
}

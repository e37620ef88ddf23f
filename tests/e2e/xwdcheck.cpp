// Reads an X window dump and tells whether the picture has content: it counts the
// distinct pixel values and fails when there are fewer than asked for.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

// The dump's header fields are 32-bit, most significant byte first.
std::uint32_t field(const std::vector<unsigned char>& data, std::size_t index) {
    const std::size_t at = index * 4;
    return std::uint32_t(data[at]) << 24 | std::uint32_t(data[at + 1]) << 16 |
           std::uint32_t(data[at + 2]) << 8 | std::uint32_t(data[at + 3]);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "xwdcheck: %s\n", message.c_str());
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3)
        return fail("usage: xwdcheck FILE.xwd MIN_DISTINCT_PIXELS");
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    constexpr std::size_t HeaderFields = 25;
    constexpr std::size_t ColorSize = 12;
    if (data.size() < HeaderFields * 4)
        return fail("not an X window dump (too short)");
    const std::uint32_t headerSize = field(data, 0);
    const std::uint32_t version = field(data, 1);
    const std::uint32_t width = field(data, 4);
    const std::uint32_t height = field(data, 5);
    const std::uint32_t bitsPerPixel = field(data, 11);
    const std::uint32_t bytesPerLine = field(data, 12);
    const std::uint32_t colours = field(data, 19);
    if (version != 7 || headerSize < HeaderFields * 4)
        return fail("not an X window dump (version " + std::to_string(version) + ")");
    if (bitsPerPixel % 8 != 0 || bitsPerPixel == 0 || bitsPerPixel > 32)
        return fail("unsupported pixel size " + std::to_string(bitsPerPixel));
    const std::size_t bytesPerPixel = bitsPerPixel / 8;
    const std::size_t start = std::size_t(headerSize) + std::size_t(colours) * ColorSize;
    if (std::size_t(width) * bytesPerPixel > bytesPerLine ||
        start + std::size_t(height) * bytesPerLine > data.size())
        return fail("the dump is cut short");

    std::unordered_set<std::uint32_t> distinct;
    for (std::size_t y = 0; y < height; ++y) {
        const unsigned char* line = data.data() + start + y * bytesPerLine;
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t pixel = 0;
            for (std::size_t b = 0; b < bytesPerPixel; ++b)
                pixel = pixel << 8 | line[x * bytesPerPixel + b];
            distinct.insert(pixel);
        }
    }
    const long wanted = std::strtol(argv[2], nullptr, 10);
    std::printf("%ux%u, %zu distinct pixel values\n", width, height, distinct.size());
    return long(distinct.size()) >= wanted ? 0 : 1;
}

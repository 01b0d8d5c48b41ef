// Speed of loading a large manifest-shaped document from memory into a
// navigable document and reading every element's text, against pugixml on
// the same bytes in the same run. Also our peak heap use over the input size.
// The last line printed is the headline ratio.

#include "xml/XmlDocument.h"

#include <pugixml.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

using namespace korvex::xml;

namespace {

// Heap accounting for our side: every operator new carries its size ahead of
// the block. pugixml allocates through malloc and is not counted.
std::atomic<size_t> g_liveBytes{0};
std::atomic<size_t> g_peakBytes{0};
constexpr size_t kHeader = alignof(std::max_align_t);

void* CountedAllocate(size_t size)
{
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) throw std::bad_alloc();
    *static_cast<size_t*>(block) = size;
    const size_t live = g_liveBytes += size;
    size_t peak = g_peakBytes.load();
    while (live > peak && !g_peakBytes.compare_exchange_weak(peak, live)) {
    }
    return static_cast<char*>(block) + kHeader;
}

void CountedFree(void* pointer)
{
    if (pointer == nullptr) return;
    void* block = static_cast<char*>(pointer) - kHeader;
    g_liveBytes -= *static_cast<size_t*>(block);
    std::free(block);
}

}  // namespace

void* operator new(size_t size)
{
    return CountedAllocate(size);
}
void* operator new[](size_t size)
{
    return CountedAllocate(size);
}
void operator delete(void* pointer) noexcept
{
    CountedFree(pointer);
}
void operator delete[](void* pointer) noexcept
{
    CountedFree(pointer);
}
void operator delete(void* pointer, size_t) noexcept
{
    CountedFree(pointer);
}
void operator delete[](void* pointer, size_t) noexcept
{
    CountedFree(pointer);
}

namespace {

// A product manifest grown to the wanted size: nested packages with
// attributes, entity and character references, CDATA notes and comments.
std::string MakeManifest(size_t targetBytes)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<korvexwebinstaller version=\"18.0\">\n";
    text.reserve(targetBytes + 4096);
    for (unsigned item = 0; text.size() < targetBytes; ++item) {
        const std::string n = std::to_string(item);
        text += "  <!-- package " + n + " -->\n";
        text += "  <package id=\"pkg" + n + "\" kind='msi' lang=\"" + std::to_string(1031 + item % 40) + "\">\n";
        text += "    <name>Fenwyx Pro component " + n + " &amp; tools &#169; caf\xC3\xA9</name>\n";
        text += "    <url>https://127.0.0.1/download/" + n + "/setup.msi?lang=1031&amp;build=" + n + "</url>\n";
        text += "    <size>" + std::to_string(1000000 + item * 7919) + "</size>\n";
        text += "    <version>18.0." + std::to_string(item % 100) + "." + std::to_string(item % 1000) + "</version>\n";
        text += "    <notes><![CDATA[Release <b>notes</b> for build " + n + " & more]]></notes>\n";
        text += "    <depends><item>vcredist &lt;2015&gt;</item><item>dotnet48</item><empty/></depends>\n";
        text += "  </package>\n";
    }
    text += "</korvexwebinstaller>\n";
    return text;
}

double Seconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Load and read every element's text; returns the text units read.
size_t RunOurs(const std::string& bytes, bool& wellFormed)
{
    XmlDocument document;
    wellFormed = document.LoadBytes(bytes.data(), bytes.size());
    size_t units = 0;
    size_t depth = 0;
    for (;;) {
        if (document.FindNextElement()) {
            units += document.ElementText(document.CurrentPosition()).size();
            document.EnterElement();
            ++depth;
            continue;
        }
        if (depth == 0) return units;
        document.LeaveElement();
        --depth;
    }
}

size_t WalkPugi(pugi::xml_node node)
{
    size_t units = 0;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        units += std::strlen(child.child_value());
        units += WalkPugi(child);
    }
    return units;
}

size_t RunPugi(const std::string& bytes, bool& wellFormed)
{
    pugi::xml_document document;
    wellFormed = static_cast<bool>(document.load_buffer(bytes.data(), bytes.size()));
    return WalkPugi(document);
}

}  // namespace

int main(int argc, char** argv)
{
    const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    const std::string bytes = MakeManifest(megabytes << 20);
    const double size = static_cast<double>(bytes.size()) / (1 << 20);
    std::printf("input: %.1f MB, %d runs each\n", size, runs);

    std::vector<double> ours;
    std::vector<double> pugi;
    size_t ourUnits = 0;
    size_t pugiBytes = 0;
    size_t peakOverInput = 0;
    for (int run = 0; run < runs; ++run) {
        bool wellFormed = false;
        const size_t liveBefore = g_liveBytes.load();
        g_peakBytes = liveBefore;
        auto start = std::chrono::steady_clock::now();
        ourUnits = RunOurs(bytes, wellFormed);
        ours.push_back(Seconds(std::chrono::steady_clock::now() - start));
        peakOverInput = g_peakBytes.load() - liveBefore;
        if (!wellFormed) {
            std::fprintf(stderr, "our parse rejected the document\n");
            return 1;
        }

        start = std::chrono::steady_clock::now();
        pugiBytes = RunPugi(bytes, wellFormed);
        pugi.push_back(Seconds(std::chrono::steady_clock::now() - start));
        if (!wellFormed) {
            std::fprintf(stderr, "pugixml rejected the document\n");
            return 1;
        }
    }
    const double ourSpeed = size / Median(ours);
    const double pugiSpeed = size / Median(pugi);
    std::printf("ours: median %.1f ms, %.0f MB/s (%zu text units read)\n", Median(ours) * 1000, ourSpeed, ourUnits);
    std::printf("pugixml: median %.1f ms, %.0f MB/s (%zu text bytes read)\n", Median(pugi) * 1000, pugiSpeed,
                pugiBytes);
    std::printf("xml-peak-memory-ratio: %.2f\n", static_cast<double>(peakOverInput) / bytes.size());
    std::printf("xml-parse-ratio: %.2f\n", ourSpeed / pugiSpeed);
    return 0;
}

// A GrandOrgue settings file from anywhere (plain, with a byte-order mark, gzip-compressed,
// compressed and damaged) merged with a mapping: the merge keeps every line it does not own
// byte for byte and adds only the mapped sections' event keys, or it refuses the file with one
// sentence that names it; the export leaves a refused file untouched, and otherwise writes the
// merge and keeps the file as it was in the backup.

#include "fuzz_check.h"
#include "grandorgue/compressed_files.h"
#include "grandorgue/ini_lines.h"
#include "grandorgue/organ_definition.h"
#include "grandorgue/settings_file.h"
#include "scratch_folder.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

using vtl::fuzz::ReadAll;
using vtl::fuzz::Require;
using vtl::fuzz::ScratchFolder;

namespace {

namespace fs = std::filesystem;
using namespace vtl;

constexpr std::string_view kSource = "fuzz.cmb";

void WriteAll(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Gzip(std::string_view text) {
    z_stream stream{};
    Require(deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8,
                         Z_DEFAULT_STRATEGY) == Z_OK,
            "zlib does not start");
    std::string packed(deflateBound(&stream, text.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    Require(deflate(&stream, Z_FINISH) == Z_STREAM_END, "zlib does not compress");
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return packed;
}

OrganMapping FuzzedMapping(FuzzedDataProvider& in) {
    OrganMapping mapping;
    mapping.device = in.ConsumeBool() ? "" : "USB MIDI";
    mapping.churchName = "St. Fuzz";
    const auto part = [&in] { return OrganPart{in.ConsumeIntegralInRange(0, 12), "part"}; };
    for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n)
        mapping.keyboards.push_back({n, {in.ConsumeIntegralInRange(1, 16)}, part()});
    for (int n = in.ConsumeIntegralInRange(0, 2); n > 0; --n)
        mapping.shoes.push_back(
            {n, in.ConsumeBool() ? 7 : 11, in.ConsumeIntegralInRange(1, 16), part()});
    for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n) {
        MappedGeneral general;
        general.program = in.ConsumeIntegralInRange(1, 128);
        general.channel = in.ConsumeIntegralInRange(1, 16);
        general.section = in.ConsumeBool()
                              ? SectionName("General", in.ConsumeIntegralInRange(1, 12))
                              : "SetterGeneral" + std::to_string(n);
        mapping.generals.push_back(general);
    }
    return mapping;
}

std::set<std::string, std::less<>> MappedSections(const OrganMapping& mapping) {
    std::set<std::string, std::less<>> sections;
    for (const auto& keyboard : mapping.keyboards)
        sections.insert(SectionName("Manual", keyboard.target.number));
    for (const auto& shoe : mapping.shoes)
        sections.insert(SectionName("Enclosure", shoe.target.number));
    for (const auto& general : mapping.generals)
        sections.insert(general.section);
    return sections;
}

// The lines of a settings text that the merge does not own: all but the event keys of the
// mapped sections.
std::vector<std::string_view> NotOwned(std::string_view text,
                                       const std::set<std::string, std::less<>>& mapped) {
    std::vector<std::string_view> lines;
    bool inMapped = false;
    for (const IniLine& line : SplitIniLines(text)) {
        if (!line.section.empty()) inMapped = mapped.contains(line.section);
        if (!(inMapped && line.section.empty() && IsEventKey(line.key)))
            lines.push_back(line.whole);
    }
    return lines;
}

// The merge keeps what it does not own line for line (the last line may gain its line end),
// then adds only the mapped sections the file lacked, each with its event keys.
void CheckMerge(std::string_view before, std::string_view merged, const OrganMapping& mapping) {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    Require(merged.starts_with(kMark), "a merged file has no byte-order mark");
    merged.remove_prefix(kMark.size());
    const auto mapped = MappedSections(mapping);
    const auto kept = NotOwned(before, mapped);
    const auto after = NotOwned(merged, mapped);
    Require(after.size() >= kept.size(), "a merge lost lines");
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const bool last = i + 1 == kept.size();
        Require(after[i] == kept[i] ||
                    (last && !kept[i].ends_with('\n') && after[i].starts_with(kept[i]) &&
                     (after[i].substr(kept[i].size()) == "\n" ||
                      after[i].substr(kept[i].size()) == "\r\n")),
                "a merge changed a line it does not own");
    }
    std::set<std::string_view> added;
    for (std::size_t i = kept.size(); i < after.size(); ++i) {
        const auto line = SplitIniLines(after[i]);
        Require(line.size() == 1 && line[0].key.empty(), "a merge added a key it does not own");
        if (line[0].section.empty()) continue;
        Require(mapped.contains(line[0].section) && added.insert(line[0].section).second,
                "a merge added a section twice or one not mapped");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder kScratch("vtl-go-fuzz");
    FuzzedDataProvider in(data, size);
    const OrganMapping mapping = FuzzedMapping(in);
    const int form = in.ConsumeIntegralInRange(0, 3);
    const std::size_t damage = in.ConsumeIntegral<std::uint16_t>();
    std::string existing = in.ConsumeRemainingBytesAsString();
    if (form == 1) existing.insert(0, "\xEF\xBB\xBF");
    if (form >= 2) existing = Gzip(existing);
    if (form == 3) {
        if (damage % 2 == 0)
            existing.resize(damage / 2 % existing.size());
        else
            existing[damage / 2 % existing.size()] ^= 0x5A;
    }

    const auto merged = MergeSettings(existing, mapping, kSource);
    const auto text = GrandOrgueFileText(existing, existing.size() * 1100 + 1024, kSource);
    if (merged) {
        Require(text.has_value(), "a merged file does not read");
        CheckMerge(*text, *merged, mapping);
    } else {
        const std::string& why = merged.error().message;
        Require(IsGzip(existing), "a plain settings file is refused");
        Require(why.starts_with(std::string(kSource) + ": ") && why.find('\n') == std::string::npos,
                "a refusal is not one sentence naming the file");
    }

    // The export on a file: the merge and a backup of the file as it was, or nothing changed.
    const fs::path target = kScratch.Path("settings.cmb");
    fs::path backup = target;
    backup += ".bak";
    std::error_code ignored;
    fs::remove(backup, ignored);
    WriteAll(target, existing);
    const Status exported = ExportSettings(target, mapping);
    Require(exported.has_value() == merged.has_value(), "the export and the merge disagree");
    if (exported) {
        Require(ReadAll(target) == *merged, "the export wrote other than the merge");
        Require(ReadAll(backup) == existing, "the backup is not the file as it was");
    } else {
        Require(ReadAll(target) == existing, "a refused file was changed");
        Require(!fs::exists(backup), "a refused file was backed up");
    }
    return 0;
}

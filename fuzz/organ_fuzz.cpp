// GrandOrgue organ files and .orgue packages from anywhere: the input is read as an organ file
// and as a zip archive holding a package. A read either gives the organ's parts, numbered as
// GrandOrgue numbers them, or fails with one sentence naming what it read; a package's organ
// reads as its organ file does alone.

#include "fuzz_check.h"
#include "grandorgue/compressed_files.h"
#include "grandorgue/organ_definition.h"

#include <algorithm>
#include <string>
#include <vector>

using vtl::fuzz::Require;

namespace {

using namespace vtl;

constexpr std::string_view kSource = "fuzz.orgue";
// As much as the package reader takes of an organ file.
constexpr std::size_t kMaxMember = 64 * 1024 * 1024;

void RequireOneSentence(const std::string& message, std::string_view source) {
    Require(message.starts_with(std::string(source) + ": ") &&
                message.find('\n') == std::string::npos,
            "an error is not one sentence naming what was read");
}

void RequireNumbered(const std::vector<OrganPart>& parts, int first) {
    for (std::size_t i = 0; i < parts.size(); ++i)
        Require(parts[i].number == first + static_cast<int>(i), "parts are not numbered in turn");
}

Expected<OrganDefinition> Parse(std::string_view text, std::string_view source) {
    auto organ = ParseOrganDefinition(text, source);
    if (!organ) {
        RequireOneSentence(organ.error().message, source);
        return organ;
    }
    const int firstManual = organ->manuals.empty() ? 1 : organ->manuals.front().number;
    Require(firstManual == 0 || firstManual == 1, "the first manual is neither 0 nor 1");
    RequireNumbered(organ->manuals, firstManual);
    RequireNumbered(organ->enclosures, 1);
    RequireNumbered(organ->generals, 1);
    return organ;
}

bool Same(const OrganDefinition& a, const OrganDefinition& b) {
    const auto same = [](const std::vector<OrganPart>& x, const std::vector<OrganPart>& y) {
        return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                          [](const OrganPart& p, const OrganPart& q) {
                              return p.number == q.number && p.name == q.name;
                          });
    };
    return a.churchName == b.churchName && same(a.manuals, b.manuals) &&
           same(a.enclosures, b.enclosures) && same(a.generals, b.generals);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = vtl::fuzz::AsText(data, size);
    (void)Parse(bytes, "fuzz.organ");

    const auto member = [bytes](std::string_view name, std::size_t maxSize) {
        auto read = ReadArchiveMember(bytes, kSource, name, maxSize);
        if (!read) RequireOneSentence(read.error().message, kSource);
        return read;
    };
    const auto packaged = ReadPackagedOrgan(member, kSource);
    if (!packaged) {
        RequireOneSentence(packaged.error().message, kSource);
        return 0;
    }
    const auto alone = member(packaged->pathInPackage, kMaxMember);
    Require(alone.has_value(), "the package's organ file cannot be read again");
    const auto organ = Parse(*alone, "fuzz.organ");
    Require(organ && Same(*organ, packaged->definition),
            "a package's organ reads otherwise than its organ file");
    return 0;
}

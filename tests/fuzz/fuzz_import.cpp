// Fuzzes the record text reader: decoding, line and field splitting, the plain import and the
// import with settings, the preview and the explanation of a stop. Input: 4 bytes of settings,
// then the bytes of a record file.
#include "../unit/record_reference.h"
#include "fuzz_input.h"
#include "workspace/import_settings.h"
#include "workspace/record_file.h"
#include "workspace/record_preview.h"

#include <cmath>
#include <cstdlib>

namespace {

// What every import promises: as many forces as displacements, finite numbers only, a stop line
// exactly when there is a warning.
void checkResult(const tc::RecordReadResult& r) {
    TC_FUZZ_CHECK(r.disp.size() == r.force.size());
    for (size_t i = 0; i < r.disp.size(); ++i)
        TC_FUZZ_CHECK(std::isfinite(r.disp[i]) && std::isfinite(r.force[i]));
    TC_FUZZ_CHECK((r.badLine > 0) == !r.warning.empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tc::fuzz::Input in(data, size);
    const std::uint8_t a = in.byte(), b = in.byte(), c = in.byte(), d = in.byte();
    const int beginLine = 1 + a % 4;
    const int step = 1 + b % 3;
    const char userSeparator = (c & 1) ? ',' : '.';

    tc::ImportSettings s;
    s.disp.column = 1 + (c >> 1) % 4;
    s.force.column = 1 + (c >> 3) % 4;
    s.disp.negate = c & 0x20;
    static const double kScales[] = {1.0, 1000.0, 1e-3, -2.5, 1e300, 1e-300};
    s.force.scale = kScales[(c >> 6) % 4 + (d & 0x40 ? 2 : 0)];
    s.decimal = static_cast<tc::DecimalMode>(d % 3);
    s.commaSeparator = (d & 4) ? tc::CommaFieldSeparator::Tab : tc::CommaFieldSeparator::Semicolon;

    const std::string_view bytes = in.rest();
    const std::string text = tc::decodeRecordText(bytes);

    size_t lines = 0;
    for (std::string_view line : tc::splitLines(text)) {
        if (++lines > 200) break;
        const auto all = tc::splitFields(line);
        const auto two = tc::splitFields(line, 2);
        TC_FUZZ_CHECK(two.size() <= 2 && two.size() <= all.size());
        for (size_t i = 0; i < two.size(); ++i)
            TC_FUZZ_CHECK(two[i] == all[i]);
        (void)tc::splitRecordLine(line, s, 3);
    }

    const tc::RecordReadResult plain = tc::readRecord(text, beginLine, step, userSeparator);
    checkResult(plain);
    const tc::RecordReadResult with = tc::readRecordWith(text, beginLine, step, userSeparator, s);
    checkResult(with);
    // The parser reads what a reading line by line reads (whose comma-decimal stand-in, DEL,
    // must not be in the text).
    if (s.decimal != tc::DecimalMode::Comma || text.find('\x7F') == std::string::npos) {
        const tc::RecordReadResult ref =
            tc::reference::lineByLine(text, beginLine, step, userSeparator, s);
        TC_FUZZ_CHECK(with.disp == ref.disp && with.force == ref.force);
        TC_FUZZ_CHECK(with.warning == ref.warning && with.badLine == ref.badLine);
    }
    // Settings that change nothing read exactly what the plain import reads.
    const tc::RecordReadResult same =
        tc::readRecordWith(text, beginLine, step, userSeparator, tc::ImportSettings{});
    checkResult(same);
    TC_FUZZ_CHECK(same.disp.size() >= plain.disp.size());
    for (size_t i = 0; i < plain.disp.size(); ++i)
        TC_FUZZ_CHECK(same.disp[i] == plain.disp[i] && same.force[i] == plain.force[i]);

    const std::string head = tc::recordHead(bytes, 50);
    const tc::RecordPreview p = tc::previewRecord(head, s, userSeparator);
    TC_FUZZ_CHECK(p.suggestedBegin >= 0 && static_cast<size_t>(p.suggestedBegin) <= p.lines.size());
    if (!with.warning.empty())
        (void)tc::explainStop(text, with, beginLine, s, "fuzz.txt", p.suggestedBegin);
    return 0;
}

#pragma once
// The import with settings read one line at a time, as a reference for the record parser: every
// line split, its two fields converted and scaled. Header only, for the unit tests and the fuzz
// harness of the import.
#include "common/text_number.h"
#include "workspace/import_settings.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace tc::reference {

// The import with settings as one line at a time: the comma-decimal line split by swapping the
// roles of ',' and ';' for the specified field rule.
inline tc::RecordReadResult lineByLine(std::string_view text, int begin, int step, char userSep,
                                       const tc::ImportSettings& s) {
    tc::RecordReadResult r;
    const char sep = tc::effectiveDecimalSeparator(s, userSep);
    const std::vector<std::string_view> lines = tc::splitLines(text);
    const auto di = static_cast<size_t>(s.disp.column - 1);
    const auto fi = static_cast<size_t>(s.force.column - 1);
    for (size_t n = static_cast<size_t>(begin) - 1; n < lines.size();
         n += static_cast<size_t>(step)) {
        std::string line(tc::trimBlanks(lines[n]));
        const bool comma = s.decimal == tc::DecimalMode::Comma;
        const bool semicolon = s.commaSeparator == tc::CommaFieldSeparator::Semicolon;
        if (comma)
            for (char& c : line)
                c = c == ',' ? '\x7F' : (semicolon && c == ';') ? ',' : c;
        std::vector<std::string> fields = tc::splitFields(line, std::max(di, fi) + 1);
        if (comma)
            for (std::string& f : fields)
                for (char& c : f)
                    c = c == '\x7F' ? ',' : (semicolon && c == ',') ? ';' : c;
        double v[2] = {0, 0};
        std::string message;
        const size_t at[2] = {di, fi};
        const double factor[2] = {s.disp.negate ? -s.disp.scale : s.disp.scale,
                                  s.force.negate ? -s.force.scale : s.force.scale};
        for (int k = 0; k < 2 && message.empty(); ++k) {
            if (at[k] >= fields.size())
                message = "List index out of bounds (" + std::to_string(at[k]) + ")";
            else if (!tc::tryTextToDouble(fields[at[k]], v[k], sep))
                message = tc::invalidFloatMessage(tc::trimBlanks(fields[at[k]]));
        }
        if (message.empty()) {
            v[0] *= factor[0];
            v[1] *= factor[1];
            if (!std::isfinite(v[0]) || !std::isfinite(v[1]))
                message = "A value times its scale is beyond the number range.";
        }
        if (!message.empty()) {
            r.warning = message;
            r.badLine = static_cast<int>(n + 1);
            break;
        }
        r.disp.push_back(v[0]);
        r.force.push_back(v[1]);
    }
    tc::forgiveTrailingBlanks(text, r);
    return r;
}

} // namespace tc::reference

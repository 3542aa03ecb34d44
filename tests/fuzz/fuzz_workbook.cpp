// Fuzzes the workbook readers of .xlsx and .ods (libzip and expat, our part being the zip and XML
// handling and the cell rules) and the reading of a sheet as a record. Input: 1 byte for the
// format and the sheet, then the bytes of the file. The readers take a path, so each input is
// written to a file of its own first.
// .xls is left out: FreeXL 1.0.6 itself reads past its own stack buffers inside freexl_open on
// damaged files (found within seconds), which no code of ours can mend, so every run would stop
// there.
#include "common/error.h"
#include "fuzz_input.h"
#include "workspace/sheet_table.h"
#include "workspace/workbook_reader.h"

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string inputPath(const char* extension) {
    static const std::filesystem::path folder = std::filesystem::temp_directory_path();
    return (folder / ("tc_fuzz_workbook_" + std::to_string(getpid()) + extension)).string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tc::fuzz::Input in(data, size);
    const std::uint8_t knobs = in.byte();
    static const char* const kExtensions[] = {".xlsx", ".ods"};
    const std::string path = inputPath(kExtensions[knobs % 2]);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const std::string_view bytes = in.rest();
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) std::abort();
    }
    try {
        const tc::WorkbookSheet book = tc::readWorkbook(path, (knobs >> 2) % 3);
        const tc::SheetTable& t = book.table;
        TC_FUZZ_CHECK(!t.rowStart.empty() && t.rowStart.front() == 0);
        for (size_t r = 0; r < t.rowCount(); ++r) {
            TC_FUZZ_CHECK(t.rowStart[r] <= t.rowStart[r + 1] &&
                          t.rowStart[r + 1] <= t.cells.size());
            for (size_t c = 0; c < t.rowSize(r); ++c) {
                const tc::SheetCell& cell = t.at(r, c);
                if (cell.kind == tc::SheetCell::Kind::Text)
                    TC_FUZZ_CHECK(cell.text < t.texts.size());
            }
        }
        const tc::ImportSettings s;
        const tc::RecordReadResult rec = tc::readSheetRecord(t, 1 + (knobs >> 4) % 3, 1, '.', s);
        TC_FUZZ_CHECK(rec.disp.size() == rec.force.size());
        for (size_t i = 0; i < rec.disp.size(); ++i)
            TC_FUZZ_CHECK(std::isfinite(rec.disp[i]) && std::isfinite(rec.force[i]));
        const tc::RecordPreview p = tc::previewSheet(t, s, '.');
        if (!rec.warning.empty())
            (void)tc::explainSheetStop(t, rec, 1, "fuzz.xlsx", p.suggestedBegin);
    } catch (const tc::Error&) {
        // A damaged, renamed or encrypted file is refused with a message: that is the point.
    }
    std::filesystem::remove(path);
    return 0;
}

#pragma once
// An in-process object server with the members of the spreadsheet object model that the chart
// export uses, keeping the workbook in memory and writing it as an .xlsx file when the export
// ends. It checks every member name (case-insensitively, as the real server resolves them),
// every argument count and type, and refuses what the real object model refuses, with a clear
// message. It can record every call for tests.
#include "export/automation.h"
#include "export/workbook_model.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tc {

// One call as the server saw it.
struct CallRecord {
    enum class Kind { Create, Get, Put, Method, Procedure }; // Procedure: method without result
    std::string object; // class of the object called ("" for a creation)
    std::string member; // member name as the caller spelled it, or the ProgID of a creation
    Kind kind = Kind::Get;
    std::vector<Variant> args;
};

// "Worksheet.Cells get(VT_I2 2, VT_I2 1)", "Range.Value put(VT_BSTR \"X\")",
// "create Excel.Application".
std::string describe(const CallRecord& call);

using CallLog = std::vector<CallRecord>;

struct WorkbookHostSettings {
    // Where finished workbooks are written, each under a new unique name.
    std::filesystem::path outputFolder;
    // The user's decimal separator: a cell text that spells a number with it is stored as that
    // number, as the spreadsheet program does.
    char decimalSeparator = '.';
    // When set, every call is appended here. Off by default: a large export makes millions of
    // calls.
    std::shared_ptr<CallLog> recorder;
};

class WorkbookHost final : public AutomationHost {
public:
    explicit WorkbookHost(WorkbookHostSettings settings);
    ~WorkbookHost() override;

    // Only "Excel.Application" is served.
    Variant createObject(std::string_view progId) override;
    // Writes every workbook of this host's applications that is not written yet, each to a new
    // unique name "TarvelCurve_Book<n>.xlsx" in the output folder; returns the last path written
    // ("" when there was no workbook).
    std::string finishExport() override;
    // The same, telling progress how far the writing is (the books share it evenly); when it
    // says stop, throws Cancelled, and the workbook being written leaves no file.
    std::string finishExportReporting(const WorkProgress& progress) override;

    // Every workbook made through this host so far, in creation order.
    std::vector<std::shared_ptr<WorkbookModel>> workbooks() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

AutomationHostFactory workbookHostFactory(WorkbookHostSettings settings);

// Creates a file that did not exist in folder, named prefix + n + extension with the smallest
// n >= 1 that is free, and returns its path. Throws Error if the folder cannot take it.
std::filesystem::path createUniqueFile(const std::filesystem::path& folder, std::string_view prefix,
                                       std::string_view extension);

} // namespace tc

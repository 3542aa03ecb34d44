#include "export/workbook_host.h"

#include "export/host_object.h"
#include "export/utf8_path.h"
#include "export/xlsx_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace tc {

using host::AppPtr;
using host::AppState;
using host::HostContext;
using host::sameName;

// ----------------------------------------------------------------------------------------------

std::string describe(const CallRecord& call) {
    if (call.kind == CallRecord::Kind::Create) return "create " + call.member;
    static constexpr const char* kKinds[] = {"create", "get", "put", "method", "call"};
    std::string out =
        call.object + "." + call.member + " " + kKinds[static_cast<int>(call.kind)] + "(";
    for (size_t i = 0; i < call.args.size(); ++i) {
        if (i) out += ", ";
        out += tc::describe(call.args[i]);
    }
    out += ')';
    return out;
}

namespace {

// Creates an empty file, failing with errno EEXIST when the name is taken. The C library of
// Windows (msvcrt) ignores fopen's "x", so there the exclusive open is _wopen's _O_EXCL.
bool createNewFile(const std::filesystem::path& p) {
#ifdef _WIN32
    const int fd =
        _wopen(p.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return false;
    _close(fd);
    return true;
#else
    std::FILE* f = std::fopen(p.c_str(), "wbx");
    if (!f) return false;
    std::fclose(f);
    return true;
#endif
}

} // namespace

std::filesystem::path createUniqueFile(const std::filesystem::path& folder, std::string_view prefix,
                                       std::string_view extension) {
    // Never the current folder by accident.
    if (!folder.is_absolute())
        throw Error("Cannot create file in \"" + folder.string() + "\": not a full folder path");
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (int n = 1; n < 1000000; ++n) {
        const std::filesystem::path p =
            folder / (std::string(prefix) + std::to_string(n) + std::string(extension));
        errno = 0;
        if (createNewFile(p)) return p;
        if (errno != EEXIST)
            throw Error("Cannot create file \"" + utf8Path(p) + "\". " + std::strerror(errno));
    }
    throw Error("Cannot create file in \"" + utf8Path(folder) + "\": no free name is left");
}

struct WorkbookHost::State {
    std::shared_ptr<HostContext> ctx;
    std::filesystem::path outputFolder;
    std::vector<AppPtr> apps;
};

WorkbookHost::WorkbookHost(WorkbookHostSettings settings) : state_(std::make_unique<State>()) {
    auto ctx = std::make_shared<HostContext>();
    ctx->decimalSeparator = settings.decimalSeparator;
    ctx->recorder = std::move(settings.recorder);
    state_->ctx = std::move(ctx);
    state_->outputFolder = std::move(settings.outputFolder);
}

WorkbookHost::~WorkbookHost() = default;

Variant WorkbookHost::createObject(std::string_view progId) {
    if (state_->ctx->recorder)
        state_->ctx->recorder->push_back({"", std::string(progId), CallRecord::Kind::Create, {}});
    if (!sameName(progId, "Excel.Application"))
        throw Error("Invalid class string: the workbook host serves \"Excel.Application\", not \"" +
                    std::string(progId) + "\"");
    auto app = std::make_shared<AppState>();
    state_->apps.push_back(app);
    return host::makeApplicationObject(state_->ctx, std::move(app));
}

std::string WorkbookHost::finishExport() {
    return finishExportReporting({});
}

std::string WorkbookHost::finishExportReporting(const WorkProgress& progress) {
    std::vector<std::shared_ptr<WorkbookModel>> books;
    for (const auto& book : workbooks())
        if (!book->written) books.push_back(book);
    std::string last;
    for (std::size_t i = 0; i < books.size(); ++i) {
        const auto path = createUniqueFile(state_->outputFolder, "TarvelCurve_Book", ".xlsx");
        try {
            writeWorkbookXlsx(*books[i], path,
                              progressPart(progress, static_cast<double>(i) / books.size(),
                                           static_cast<double>(i + 1) / books.size()));
        } catch (...) {
            std::error_code ec;
            std::filesystem::remove(path, ec);
            throw;
        }
        last = utf8Path(path);
    }
    return last;
}

std::vector<std::shared_ptr<WorkbookModel>> WorkbookHost::workbooks() const {
    std::vector<std::shared_ptr<WorkbookModel>> out;
    for (const auto& app : state_->apps)
        out.insert(out.end(), app->books.begin(), app->books.end());
    return out;
}

AutomationHostFactory workbookHostFactory(WorkbookHostSettings settings) {
    return [settings]() -> std::unique_ptr<AutomationHost> {
        return std::make_unique<WorkbookHost>(settings);
    };
}

} // namespace tc

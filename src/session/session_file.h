#pragma once
#include "common/error.h"
#include "session/workspace_state.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

// A session file: one JSON text (UTF-8) holding the imported record as it was read, the edits
// made to it, the analysis settings, the skeleton curves as they are and the window's options.
// The derived arrays are not stored: opening a session analyses the record again with the values
// the last analysis read. Point lists are base64 of little-endian 64-bit floats, indices base64 of
// little-endian 32-bit integers. docs/user-guide.html describes every member.
inline constexpr const char* kSessionFormat = "TarvelCurve session";
// Raised whenever a member changes meaning or a member that older versions need is added.
inline constexpr int kSessionVersion = 1;
// The extension of session files.
inline constexpr const char* kSessionExtension = ".tcsession";

// The imported record and its edits on the chart.
struct SessionRecord {
    std::string path;            // the record file, UTF-8 (shown, never read again)
    std::string beginLine = "1"; // the import fields as typed
    std::string step = "1";
    std::vector<double> disp, force;  // as imported
    std::vector<RawPointValue> drags; // present values of the dragged points, ascending index
    std::vector<int> deleted;         // indices of points deleted from the chart, ascending
};

// The window's inputs that are not options of a dialog.
struct SessionControls {
    int loopDirection = 0; // 0 "Positive", 1 "Negative"
    int rule = 1;          // 1..5, the checked rule button
    bool increasing = false;
    std::string rangeFrom = "0", rangeTo = "0", tolerance; // the region filter's fields
};

struct Session {
    SessionRecord record;
    AnalysisInput analysis; // analysed again on open
    int selectedLoop = -1;
    SkeletonCurves skeleton;
    SessionControls controls;
    WorkspaceSettings settings;
};

// A session file that cannot be used. The message names the file and the problem.
class SessionError : public Error {
public:
    using Error::Error;
};
// The file cannot be read: missing, not a regular file, no permission.
class SessionReadError : public SessionError {
public:
    using SessionError::SessionError;
};
// The file is not a session at all (another kind of file).
class NotASessionError : public SessionError {
public:
    using SessionError::SessionError;
};
// Saved by a newer version of the program.
class SessionVersionError : public SessionError {
public:
    using SessionError::SessionError;
};
// A session whose contents are broken: cut short, a member missing or of the wrong kind, a
// point list of the wrong length, a value that is not finite, an index out of range.
class SessionDamagedError : public SessionError {
public:
    using SessionError::SessionError;
};

// The session as the text of its file.
std::string sessionText(const Session& session);
// Reads the text of a session file. name is the file named in messages. Throws the errors above.
Session parseSession(std::string_view text, const std::string& name);

// Writes the session through a temporary file beside it and a rename.
void writeSessionFile(const std::filesystem::path& path, const Session& session);
Session readSessionFile(const std::filesystem::path& path);

// The settings as written into a session (compared to tell whether two are alike).
std::string settingsText(const WorkspaceSettings& settings);

// The workspace a session describes: the record with its edits, the analysis made again from
// the values it read, and the chart's raw points.
struct RestoredWorkspace {
    std::vector<double> dispRaw, forceRaw;
    std::vector<int> rawSource;              // per chart point, its record index
    std::vector<RawPointValue> rawOriginals; // imported values of the dragged points
    LoopAnalysis analysis;
};
// Throws SessionDamagedError (naming `name`) when the selected loop is not one of the analysis.
RestoredWorkspace restoreWorkspace(const Session& session, const std::string& name);

// The record of a session from the workspace: the imported values from the present ones and the
// originals of the dragged points, the deleted points from the chart's raw points.
SessionRecord sessionRecord(const std::vector<double>& dispRaw, const std::vector<double>& forceRaw,
                            const std::vector<int>& rawSource,
                            const std::vector<RawPointValue>& rawOriginals);

} // namespace tc

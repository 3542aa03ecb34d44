#include "session/session_file.h"

#include "common/base64.h"
#include "common/file_replace.h"

#include <nlohmann/json.hpp>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <numeric>
#include <system_error>

namespace tc {

namespace {

using Json = nlohmann::ordered_json;

// ---- arrays of numbers as base64 of their little-endian bytes ----

template <class T> std::string encodeArray(const std::vector<T>& v) {
    static_assert(sizeof(T) == 8 || sizeof(T) == 4);
    if constexpr (std::endian::native == std::endian::little) {
        return base64(reinterpret_cast<const unsigned char*>(v.data()), v.size() * sizeof(T));
    } else {
        std::vector<unsigned char> bytes(v.size() * sizeof(T));
        for (std::size_t i = 0; i < v.size(); ++i) {
            unsigned char b[sizeof(T)];
            std::memcpy(b, &v[i], sizeof(T));
            for (std::size_t k = 0; k < sizeof(T); ++k)
                bytes[i * sizeof(T) + k] = b[sizeof(T) - 1 - k];
        }
        return base64(bytes.data(), bytes.size());
    }
}

// ---- reading with messages that say where ----

class Reader {
public:
    explicit Reader(std::string name) : name_(std::move(name)) {}

    [[noreturn]] void damaged(const std::string& what) const {
        throw SessionDamagedError(prefix() + "The file is damaged: " + what + ".");
    }
    std::string prefix() const { return "Cannot open session \"" + name_ + "\". "; }

    const Json& member(const Json& object, const char* key, const std::string& where) const {
        const auto it = object.find(key);
        if (it == object.end()) damaged("\"" + where + key + "\" is missing");
        return *it;
    }
    const Json& object(const Json& parent, const char* key, const std::string& where) const {
        const Json& v = member(parent, key, where);
        if (!v.is_object()) damaged("\"" + where + key + "\" is not an object");
        return v;
    }
    std::string text(const Json& parent, const char* key, const std::string& where) const {
        const Json& v = member(parent, key, where);
        if (!v.is_string()) damaged("\"" + where + key + "\" is not a text");
        return v.get<std::string>();
    }
    bool flag(const Json& parent, const char* key, const std::string& where) const {
        const Json& v = member(parent, key, where);
        if (!v.is_boolean()) damaged("\"" + where + key + "\" is not true or false");
        return v.get<bool>();
    }
    double number(const Json& parent, const char* key, const std::string& where) const {
        const Json& v = member(parent, key, where);
        if (!v.is_number()) damaged("\"" + where + key + "\" is not a number");
        const double d = v.get<double>();
        if (!std::isfinite(d)) damaged("\"" + where + key + "\" is not a finite number");
        return d;
    }
    std::int64_t integer(const Json& parent, const char* key, const std::string& where,
                         std::int64_t lo, std::int64_t hi) const {
        const Json& v = member(parent, key, where);
        if (!v.is_number_integer()) damaged("\"" + where + key + "\" is not a whole number");
        const auto i = v.get<std::int64_t>();
        if (i < lo || i > hi)
            damaged("\"" + where + key + "\" is " + std::to_string(i) + ", not from " +
                    std::to_string(lo) + " to " + std::to_string(hi));
        return i;
    }
    int int32(const Json& parent, const char* key, const std::string& where) const {
        return static_cast<int>(integer(parent, key, where, INT32_MIN, INT32_MAX));
    }

    template <class T>
    std::vector<T> array(const Json& parent, const char* key, const std::string& where,
                         std::size_t count) const {
        const std::string s = text(parent, key, where);
        std::vector<unsigned char> bytes;
        if (!unbase64(s, bytes)) damaged("\"" + where + key + "\" is not base64 text");
        if (bytes.size() != count * sizeof(T))
            damaged("\"" + where + key + "\" holds " + std::to_string(bytes.size() / sizeof(T)) +
                    " values instead of " + std::to_string(count));
        std::vector<T> v(count);
        if constexpr (std::endian::native == std::endian::little) {
            if (count) std::memcpy(v.data(), bytes.data(), bytes.size());
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                unsigned char b[sizeof(T)];
                for (std::size_t k = 0; k < sizeof(T); ++k)
                    b[k] = bytes[i * sizeof(T) + sizeof(T) - 1 - k];
                std::memcpy(&v[i], b, sizeof(T));
            }
        }
        if constexpr (std::is_floating_point_v<T>) {
            for (std::size_t i = 0; i < count; ++i)
                if (!std::isfinite(v[i]))
                    damaged("\"" + where + key + "\" holds a value that is not a finite number (" +
                            std::to_string(i + 1) + ")");
        }
        return v;
    }
    std::size_t count(const Json& parent, const std::string& where) const {
        return static_cast<std::size_t>(integer(parent, "count", where, 0, INT32_MAX));
    }

private:
    std::string name_;
};

// ---- the parts ----

Json pointValues(const std::vector<RawPointValue>& points) {
    std::vector<std::int32_t> index(points.size());
    std::vector<double> x(points.size()), y(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        index[i] = points[i].index;
        x[i] = points[i].x;
        y[i] = points[i].y;
    }
    Json j;
    j["count"] = points.size();
    j["index"] = encodeArray(index);
    j["disp"] = encodeArray(x);
    j["force"] = encodeArray(y);
    return j;
}

std::vector<RawPointValue> readPointValues(const Reader& r, const Json& parent, const char* key,
                                           const std::string& where, std::size_t recordSize) {
    const Json& j = r.object(parent, key, where);
    const std::string at = where + key + ".";
    const std::size_t n = r.count(j, at);
    const auto index = r.array<std::int32_t>(j, "index", at, n);
    const auto x = r.array<double>(j, "disp", at, n);
    const auto y = r.array<double>(j, "force", at, n);
    std::vector<RawPointValue> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (index[i] < 0 || static_cast<std::size_t>(index[i]) >= recordSize)
            r.damaged("\"" + at + "index\" names point " + std::to_string(index[i]) +
                      " of a record of " + std::to_string(recordSize) + " points");
        if (i > 0 && index[i] <= index[i - 1]) r.damaged("\"" + at + "index\" is not ascending");
        out[i] = {index[i], x[i], y[i]};
    }
    return out;
}

Json curve(const PointList& points) {
    std::vector<double> x(points.size()), y(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        x[i] = points[i].x;
        y[i] = points[i].y;
    }
    Json j;
    j["count"] = points.size();
    j["disp"] = encodeArray(x);
    j["force"] = encodeArray(y);
    return j;
}

PointList readCurve(const Reader& r, const Json& parent, const char* key,
                    const std::string& where) {
    const Json& j = r.object(parent, key, where);
    const std::string at = where + key + ".";
    const std::size_t n = r.count(j, at);
    const auto x = r.array<double>(j, "disp", at, n);
    const auto y = r.array<double>(j, "force", at, n);
    PointList out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = {x[i], y[i]};
    return out;
}

Json analysisOptions(const AnalysisOptions& o) {
    Json j;
    j["deadBand"] = o.deadBand;
    j["levelTolerancePercent"] = o.levelTolerancePercent;
    j["yieldMethod"] = static_cast<int>(o.yieldMethod);
    j["evaluationCurve"] = static_cast<int>(o.evaluationCurve);
    return j;
}

AnalysisOptions readAnalysisOptions(const Reader& r, const Json& j, const std::string& at) {
    AnalysisOptions o;
    o.deadBand = r.number(j, "deadBand", at);
    if (o.deadBand < 0) r.damaged("\"" + at + "deadBand\" is negative");
    o.levelTolerancePercent = r.number(j, "levelTolerancePercent", at);
    o.yieldMethod = static_cast<YieldMethod>(r.integer(j, "yieldMethod", at, 0, 5));
    o.evaluationCurve = static_cast<EvaluationCurve>(r.integer(j, "evaluationCurve", at, 0, 1));
    return o;
}

Json excelOptions(const ExcelExportOptions& o) {
    Json j;
    j["chartWidth"] = o.chartWidth;
    j["chartHeight"] = o.chartHeight;
    j["showLegend"] = o.showLegend;
    j["legendInLayout"] = o.legendInLayout;
    j["showTitle"] = o.showTitle;
    j["titleText"] = o.titleText;
    j["showAxisLine"] = o.showAxisLine;
    j["xAxisPosition"] = o.xAxisPosition;
    j["yAxisPosition"] = o.yAxisPosition;
    j["showAxisTitle"] = o.showAxisTitle;
    j["xAxisTitle"] = o.xAxisTitle;
    j["yAxisTitle"] = o.yAxisTitle;
    j["tickLabelFontSize"] = o.tickLabelFontSize;
    j["axisTitleFontSize"] = o.axisTitleFontSize;
    j["legendFontSize"] = o.legendFontSize;
    j["showPlotAreaLine"] = o.showPlotAreaLine;
    j["lineWeight"] = static_cast<double>(o.lineWeight);
    j["lineColorMode"] = o.lineColorMode;
    j["markerColorMode"] = o.markerColorMode;
    j["showMarker"] = o.showMarker;
    j["markerSize"] = o.markerSize;
    j["markerStyle"] = o.markerStyle;
    j["combinedOutput"] = o.combinedOutput;
    return j;
}

ExcelExportOptions readExcelOptions(const Reader& r, const Json& j, const std::string& at) {
    ExcelExportOptions o;
    InitExcelExportOptions(o);
    o.chartWidth = r.int32(j, "chartWidth", at);
    o.chartHeight = r.int32(j, "chartHeight", at);
    o.showLegend = r.flag(j, "showLegend", at);
    o.legendInLayout = r.flag(j, "legendInLayout", at);
    o.showTitle = r.flag(j, "showTitle", at);
    o.titleText = r.text(j, "titleText", at);
    o.showAxisLine = r.flag(j, "showAxisLine", at);
    o.xAxisPosition = r.text(j, "xAxisPosition", at);
    o.yAxisPosition = r.text(j, "yAxisPosition", at);
    o.showAxisTitle = r.flag(j, "showAxisTitle", at);
    o.xAxisTitle = r.text(j, "xAxisTitle", at);
    o.yAxisTitle = r.text(j, "yAxisTitle", at);
    o.tickLabelFontSize = r.int32(j, "tickLabelFontSize", at);
    o.axisTitleFontSize = r.int32(j, "axisTitleFontSize", at);
    o.legendFontSize = r.int32(j, "legendFontSize", at);
    o.showPlotAreaLine = r.flag(j, "showPlotAreaLine", at);
    o.lineWeight = static_cast<float>(r.number(j, "lineWeight", at));
    o.lineColorMode = static_cast<std::int32_t>(r.integer(j, "lineColorMode", at, 0, 1));
    o.markerColorMode = static_cast<std::int32_t>(r.integer(j, "markerColorMode", at, 0, 1));
    o.showMarker = r.flag(j, "showMarker", at);
    o.markerSize = r.int32(j, "markerSize", at);
    o.markerStyle = r.int32(j, "markerStyle", at);
    o.combinedOutput = static_cast<std::int32_t>(r.integer(j, "combinedOutput", at, 0, 1));
    return o;
}

Json column(const ColumnSetting& c) {
    Json j;
    j["column"] = c.column;
    j["scale"] = c.scale;
    j["negate"] = c.negate;
    return j;
}

ColumnSetting readColumn(const Reader& r, const Json& parent, const char* key,
                         const std::string& where) {
    const Json& j = r.object(parent, key, where);
    const std::string at = where + key + ".";
    ColumnSetting c;
    c.column = static_cast<int>(r.integer(j, "column", at, 1, INT32_MAX));
    c.scale = r.number(j, "scale", at);
    if (c.scale == 0) r.damaged("\"" + at + "scale\" is 0");
    c.negate = r.flag(j, "negate", at);
    return c;
}

Json importSettings(const ImportSettings& s) {
    Json j;
    j["disp"] = column(s.disp);
    j["force"] = column(s.force);
    j["decimal"] = static_cast<int>(s.decimal);
    j["commaFieldSeparator"] = static_cast<int>(s.commaSeparator);
    j["sheet"] = s.sheet;
    j["dispUnit"] = s.dispUnit;
    j["forceUnit"] = s.forceUnit;
    return j;
}

ImportSettings readImportSettings(const Reader& r, const Json& j, const std::string& at) {
    ImportSettings s;
    s.disp = readColumn(r, j, "disp", at);
    s.force = readColumn(r, j, "force", at);
    s.decimal = static_cast<DecimalMode>(r.integer(j, "decimal", at, 0, 2));
    s.commaSeparator =
        static_cast<CommaFieldSeparator>(r.integer(j, "commaFieldSeparator", at, 0, 1));
    s.sheet = static_cast<int>(r.integer(j, "sheet", at, 0, INT32_MAX));
    s.dispUnit = r.text(j, "dispUnit", at);
    s.forceUnit = r.text(j, "forceUnit", at);
    return s;
}

Json settingsJson(const WorkspaceSettings& s) {
    Json j;
    j["importSettings"] = importSettings(s.import);
    j["analysisOptions"] = analysisOptions(s.analysis);
    j["excelOptions"] = excelOptions(s.excel);
    return j;
}

// Reads the whole file; throws SessionReadError.
std::string readBytes(const std::filesystem::path& path, const std::string& name) {
    const std::string prefix = "Cannot open session \"" + name + "\". ";
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        throw SessionReadError(prefix + "The file does not exist.");
    if (!std::filesystem::is_regular_file(status))
        throw SessionReadError(prefix + "It is not a regular file.");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw SessionReadError(prefix + "The file cannot be read (" +
                               std::generic_category().message(errno) + ").");
    std::string bytes;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec) bytes.reserve(static_cast<std::size_t>(size));
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) throw SessionReadError(prefix + "The file cannot be read.");
    return bytes;
}

} // namespace

std::string settingsText(const WorkspaceSettings& settings) {
    return settingsJson(settings).dump();
}

std::string sessionText(const Session& s) {
    Json j;
    j["format"] = kSessionFormat;
    j["version"] = kSessionVersion;

    Json rec;
    rec["path"] = s.record.path;
    rec["beginLine"] = s.record.beginLine;
    rec["step"] = s.record.step;
    rec["count"] = s.record.disp.size();
    rec["disp"] = encodeArray(s.record.disp);
    rec["force"] = encodeArray(s.record.force);
    rec["drags"] = pointValues(s.record.drags);
    Json deleted;
    std::vector<std::int32_t> del(s.record.deleted.begin(), s.record.deleted.end());
    deleted["count"] = del.size();
    deleted["index"] = encodeArray(del);
    rec["deleted"] = deleted;
    j["record"] = std::move(rec);

    Json an;
    an["analysed"] = s.analysis.analysed;
    an["deadBand"] = s.analysis.deadBand;
    an["drags"] = pointValues(s.analysis.drags);
    an["selectedLoop"] = s.selectedLoop;
    j["analysis"] = std::move(an);

    Json c;
    c["loopDirection"] = s.controls.loopDirection;
    c["rule"] = s.controls.rule;
    c["increasing"] = s.controls.increasing;
    c["rangeFrom"] = s.controls.rangeFrom;
    c["rangeTo"] = s.controls.rangeTo;
    c["tolerance"] = s.controls.tolerance;
    j["controls"] = std::move(c);

    Json sk;
    sk["positive"] = curve(s.skeleton.positive);
    sk["negative"] = curve(s.skeleton.negative);
    j["skeleton"] = std::move(sk);

    Json settings = settingsJson(s.settings);
    for (auto& [key, value] : settings.items())
        j[key] = value;
    // Invalid UTF-8 in a text (a path from a Latin-1 system) is replaced rather than refused.
    return j.dump(1, '\t', false, Json::error_handler_t::replace) + "\n";
}

Session parseSession(std::string_view text, const std::string& name) {
    const Reader r(name);
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        throw SessionDamagedError(r.prefix() + "The file is empty.");
    if (text[first] != '{') throw NotASessionError(r.prefix() + "It is not a TarvelCurve session.");
    Json j;
    try {
        j = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        r.damaged("it is cut short or not JSON text (at byte " + std::to_string(e.byte) + ")");
    }
    if (!j.is_object() || !j.contains("format") || j["format"] != kSessionFormat)
        throw NotASessionError(r.prefix() + "It is not a TarvelCurve session.");
    const std::int64_t version = r.integer(j, "version", "", 1, INT32_MAX);
    if (version > kSessionVersion)
        throw SessionVersionError(r.prefix() + "It was saved by a newer version of TarvelCurve " +
                                  "(session version " + std::to_string(version) +
                                  "; this version opens version " +
                                  std::to_string(kSessionVersion) + ").");

    Session s;
    const Json& rec = r.object(j, "record", "");
    s.record.path = r.text(rec, "path", "record.");
    s.record.beginLine = r.text(rec, "beginLine", "record.");
    s.record.step = r.text(rec, "step", "record.");
    const std::size_t n = r.count(rec, "record.");
    s.record.disp = r.array<double>(rec, "disp", "record.", n);
    s.record.force = r.array<double>(rec, "force", "record.", n);
    s.record.drags = readPointValues(r, rec, "drags", "record.", n);
    {
        const Json& del = r.object(rec, "deleted", "record.");
        const std::size_t m = r.count(del, "record.deleted.");
        const auto index = r.array<std::int32_t>(del, "index", "record.deleted.", m);
        for (std::size_t i = 0; i < m; ++i) {
            if (index[i] < 0 || static_cast<std::size_t>(index[i]) >= n)
                r.damaged("\"record.deleted.index\" names point " + std::to_string(index[i]) +
                          " of a record of " + std::to_string(n) + " points");
            if (i > 0 && index[i] <= index[i - 1])
                r.damaged("\"record.deleted.index\" is not ascending");
        }
        s.record.deleted.assign(index.begin(), index.end());
    }

    const Json& an = r.object(j, "analysis", "");
    s.analysis.analysed = r.flag(an, "analysed", "analysis.");
    s.analysis.deadBand = r.number(an, "deadBand", "analysis.");
    if (s.analysis.deadBand < 0) r.damaged("\"analysis.deadBand\" is negative");
    s.analysis.drags = readPointValues(r, an, "drags", "analysis.", n);
    s.selectedLoop = r.int32(an, "selectedLoop", "analysis.");
    if (s.analysis.analysed && n < 3) r.damaged("an analysed record holds fewer than 3 points");

    const Json& c = r.object(j, "controls", "");
    s.controls.loopDirection = static_cast<int>(r.integer(c, "loopDirection", "controls.", 0, 1));
    s.controls.rule = static_cast<int>(r.integer(c, "rule", "controls.", 1, 5));
    s.controls.increasing = r.flag(c, "increasing", "controls.");
    s.controls.rangeFrom = r.text(c, "rangeFrom", "controls.");
    s.controls.rangeTo = r.text(c, "rangeTo", "controls.");
    s.controls.tolerance = r.text(c, "tolerance", "controls.");

    const Json& sk = r.object(j, "skeleton", "");
    s.skeleton.positive = readCurve(r, sk, "positive", "skeleton.");
    s.skeleton.negative = readCurve(r, sk, "negative", "skeleton.");

    s.settings.import = readImportSettings(r, r.object(j, "importSettings", ""), "importSettings.");
    s.settings.analysis =
        readAnalysisOptions(r, r.object(j, "analysisOptions", ""), "analysisOptions.");
    s.settings.excel = readExcelOptions(r, r.object(j, "excelOptions", ""), "excelOptions.");
    return s;
}

void writeSessionFile(const std::filesystem::path& path, const Session& session) {
    replaceFileContents(path, sessionText(session));
}

Session readSessionFile(const std::filesystem::path& path) {
    const std::u8string u8 = path.u8string();
    const std::string name(u8.begin(), u8.end());
    return parseSession(readBytes(path, name), name);
}

RestoredWorkspace restoreWorkspace(const Session& s, const std::string& name) {
    RestoredWorkspace w;
    w.dispRaw = s.record.disp;
    w.forceRaw = s.record.force;
    if (s.analysis.analysed) {
        for (const RawPointValue& p : s.analysis.drags) {
            w.dispRaw[static_cast<std::size_t>(p.index)] = p.x;
            w.forceRaw[static_cast<std::size_t>(p.index)] = p.y;
        }
        w.analysis = analyzeLoops(w.dispRaw, w.forceRaw, s.analysis.deadBand);
        for (const RawPointValue& p : s.analysis.drags) {
            w.dispRaw[static_cast<std::size_t>(p.index)] =
                s.record.disp[static_cast<std::size_t>(p.index)];
            w.forceRaw[static_cast<std::size_t>(p.index)] =
                s.record.force[static_cast<std::size_t>(p.index)];
        }
    }
    const int loops = w.analysis.loopCount;
    const bool selectionFits =
        loops > 0 ? s.selectedLoop >= 0 && s.selectedLoop < loops : s.selectedLoop == -1;
    if (!selectionFits)
        throw SessionDamagedError("Cannot open session \"" + name +
                                  "\". The file is damaged: the selected loop " +
                                  std::to_string(s.selectedLoop + 1) + " is not one of the " +
                                  std::to_string(loops) + " loops of the analysis.");
    for (const RawPointValue& p : s.record.drags) {
        const auto i = static_cast<std::size_t>(p.index);
        w.rawOriginals.push_back({p.index, w.dispRaw[i], w.forceRaw[i]});
        w.dispRaw[i] = p.x;
        w.forceRaw[i] = p.y;
    }
    w.rawSource.reserve(w.dispRaw.size() - s.record.deleted.size());
    std::size_t d = 0;
    for (int i = 0; i < static_cast<int>(w.dispRaw.size()); ++i) {
        if (d < s.record.deleted.size() && s.record.deleted[d] == i) {
            ++d;
            continue;
        }
        w.rawSource.push_back(i);
    }
    return w;
}

SessionRecord sessionRecord(const std::vector<double>& dispRaw, const std::vector<double>& forceRaw,
                            const std::vector<int>& rawSource,
                            const std::vector<RawPointValue>& rawOriginals) {
    SessionRecord r;
    r.disp = dispRaw;
    r.force = forceRaw;
    for (const RawPointValue& p : rawOriginals) {
        const auto i = static_cast<std::size_t>(p.index);
        if (i >= dispRaw.size()) continue;
        r.drags.push_back({p.index, dispRaw[i], forceRaw[i]});
        r.disp[i] = p.x;
        r.force[i] = p.y;
    }
    std::size_t k = 0;
    for (int i = 0; i < static_cast<int>(dispRaw.size()); ++i) {
        if (k < rawSource.size() && rawSource[k] == i) {
            ++k;
            continue;
        }
        r.deleted.push_back(i);
    }
    return r;
}

} // namespace tc

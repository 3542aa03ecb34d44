#include "export/excel_operation.h"

#include "common/number_text.h"
#include "common/text_number.h"

#include <array>
#include <exception>
#include <limits>

namespace tc {

Variant CreateExcelApp(Variant& excelApp, AutomationHost& host, std::string* failure) {
    try {
        Variant app = host.createObject(kExcelProgId);
        if (!app.isObject() || !app.objectValue()) throw Error("the server returned no object");
        excelApp = app;
        return app;
    } catch (const std::exception& e) {
        if (failure) *failure = e.what();
    }
    excelApp = Variant::null();
    return Variant::null();
}

void ShowExcelApp(const Variant& app) {
    const Variant application = getProperty(app, "Application");
    putBool(application, "Visible", true);
}

std::int32_t GetCellLeft(const Variant& sheet, std::int32_t row, std::int32_t column) {
    const Variant cell = getPropertyI4(sheet, "Cells", row, column);
    return toInt32(getProperty(cell, "Left"));
}

std::int32_t GetCellTop(const Variant& sheet, std::int32_t row, std::int32_t column) {
    const Variant cell = getPropertyI4(sheet, "Cells", row, column);
    return toInt32(getProperty(cell, "Top"));
}

Variant AddChartShape(const Variant& sheet, std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height) {
    const Variant shapes = getProperty(sheet, "Shapes");
    Variant shape = callMethodI4(shapes, "AddChart2", kExportChartStyle, kXlXYScatterSmooth);
    putI4(shape, "Left", left);
    putI4(shape, "Top", top);
    putI4(shape, "Width", width);
    putI4(shape, "Height", height);
    return shape;
}

void SetCellText(const Variant& sheet, std::int32_t row, std::int32_t column, std::string text) {
    constexpr std::int32_t kI2Max = std::numeric_limits<std::int16_t>::max();
    const Variant cell = row <= kI2Max && column <= kI2Max && row >= 0 && column >= 0
                             ? getPropertyI2(sheet, "Cells", static_cast<std::int16_t>(row),
                                             static_cast<std::int16_t>(column))
                             : getPropertyI4(sheet, "Cells", row, column);
    putText(cell, "Value", std::move(text));
}

void SetCellNumber(const Variant& sheet, std::int32_t row, std::int32_t column, double value,
                   char decimalSeparator) {
    SetCellText(sheet, row, column, formatNumber(value, decimalSeparator));
}

} // namespace tc

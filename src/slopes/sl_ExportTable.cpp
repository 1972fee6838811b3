// Every compared slope as CSV (RFC 4180: comma separated, CRLF line ends, a
// header naming each column with its unit), the grid slopes first and the
// stored slope last; numbers with a decimal point on any locale. Only the
// season's months have columns; each month says, 1 or 0, whether its value
// lies where the degree-day formula gives fewer degree days for more sun.
// Written through the safe writer: replaced whole or not at all.
#include "slopes/slopes.h"

#include "files/safeWrite.h"
#include "model/model.h"

#include <string>

namespace {

void field(GString *out, double value, int decimals) {
    gchar *text = decimalText(value, decimals);
    g_string_append_c(out, ',');
    g_string_append(out, text);
    g_free(text);
}

}  // namespace

bool sl_ExportTable(const sl_view *view, const char *path, GError **error) {
    if (!view->have) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "there is no comparison to export");
        return false;
    }
    int months[12], first[12], last[12];
    int count = seasonMonths(&view->season, months, first, last);

    GString *out = g_string_new("aspect (deg),tilt (deg),season irradiation (MJ/m2 clear-sky direct beam),"
                                "season degree days (degC above 10 degC)");
    for (int i = 0; i < count; i++) {
        const char *name = month_names[months[i] - 1];
        g_string_append_printf(out, ",%s irradiation (MJ/m2),%s degree days,%s fewer degree days for more sun (1 yes)",
                               name, name, name);
    }
    const int zone = gddZone(view->site.latitude);
    g_string_append(out, "\r\n");
    for (int s = 0; s < SL_SLOPES; s++) {
        const slope_season &r = view->results[s];
        double a = s == SL_STORED ? view->stored.aspect : sl_GridAspect(s);
        double t = s == SL_STORED ? view->stored.tilt : sl_GridTilt(s);
        // Angles as short as they are exact: 15, 2.5, or a stored 172.35.
        char angle[G_ASCII_DTOSTR_BUF_SIZE];
        g_string_append(out, g_ascii_formatd(angle, sizeof angle, "%.6g", a));
        g_string_append_c(out, ',');
        g_string_append(out, g_ascii_formatd(angle, sizeof angle, "%.6g", t));
        field(out, r.season_irradiation, 2);
        field(out, r.season_degree_days, 2);
        bool falling[12];
        seasonFallingMonths(&view->falls, &r, zone, falling);
        for (int i = 0; i < count; i++) {
            field(out, r.month_irradiation[months[i] - 1], 2);
            field(out, r.month_degree_days[months[i] - 1], 2);
            g_string_append(out, falling[months[i] - 1] ? ",1" : ",0");
        }
        g_string_append(out, "\r\n");
    }
    std::string why;
    bool ok = writeFileSafely(path, out->str, out->len, &why);
    if (!ok) g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, why.c_str());
    g_string_free(out, TRUE);
    return ok;
}

// The map window anchored to a weather station, driven through the running
// program: the anchored map is the core's anchoring of the map computed
// before, bit for bit, and says so; a file without its site asks for it; a
// site typed wrong or a second anchoring is refused with the map kept.
#include "gui_support.h"
#include "landmapDriving.h"
#include "landmap/landmapWindow.h"
#include "shell/shell.h"
#include "station/stationAnchor.h"
#include "terrain/mapAnchor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

GtkWidget *part(LandmapWindow *w, const char *id) { return gui::templateChild(GTK_WIDGET(w), id); }
std::string label(LandmapWindow *w, const char *id) { return gtk_label_get_text(GTK_LABEL(part(w, id))); }
std::string here(const char *name) { return (std::filesystem::current_path() / name).string(); }

bool await(LandmapWindow *w) { return landmapAwait(w); }

// Two years of a station's days in Meteostat's daily layout (no site in
// it): 31 / 14 degC in June, 26 / 11 degC in July.
void writeStation(const char *name) {
    std::string csv = "date,tavg,tmin,tmax,prcp,snow,wdir,wspd,wpgt,pres,tsun\n";
    for (int year : {2021, 2022})
        for (int month = 1; month <= 12; month++)
            for (int day = 1; day <= (month == 2 ? 28 : month == 4 || month == 6 || month == 9 || month == 11 ? 30 : 31);
                 day++) {
                const double tmax = month == 6 ? 31 : month == 7 ? 26 : 20, tmin = month == 6 ? 14 : 11;
                char row[96];
                std::snprintf(row, sizeof row, "%d-%02d-%02d,,%.1f,%.1f,,,,,,,\n", year, month, day, tmin, tmax);
                csv += row;
            }
    gui::writeFile(name, csv);
}

// The example land, June and July, without shading: quick.
LandmapWindow *computedExample() {
    LandmapWindow *w = landmapOpenWindow();
    if (w == nullptr) return nullptr;
    gui::click(part(w, "landmap_example"));
    EXPECT_TRUE(await(w));
    landmapSetSeason(w, "1", 6, "31", 7, false);
    gui::click(part(w, "landmap_compute"));
    EXPECT_TRUE(await(w));
    return w;
}

}  // namespace

TEST(LandmapAnchor, TheAnchoredMapIsTheCoresAnchoringOfTheMapShown) {
    LandmapWindow *w = computedExample();
    ASSERT_NE(w, nullptr);
    const std::shared_ptr<const land_map> before = landmap_window_get_map(w);
    ASSERT_NE(before, nullptr);
    writeStation("station.csv");

    // No site in the file and none typed: it is asked for, the map kept.
    ASSERT_TRUE(landmap_window_anchor(w, here("station.csv").c_str()));
    ASSERT_TRUE(await(w));
    EXPECT_EQ(landmap_window_get_map(w), before);
    EXPECT_NE(label(w, "landmap_status").find("does not say where the station stands"), std::string::npos)
        << label(w, "landmap_status");
    gui::setText(part(w, "landmap_anchor_site"), "44.63, north");
    EXPECT_FALSE(landmap_window_anchor(w, here("station.csv").c_str()));
    EXPECT_EQ(landmap_window_get_map(w), before);

    gui::setText(part(w, "landmap_anchor_site"), "44.63, -123.19, 70");
    ASSERT_TRUE(landmap_window_anchor(w, here("station.csv").c_str()));
    ASSERT_TRUE(await(w));
    const std::shared_ptr<const land_map> after = landmap_window_get_map(w);
    ASSERT_NE(after, before) << label(w, "landmap_status");

    // The core's own anchoring of the map shown before, bit for bit.
    station_anchor found;
    std::string why;
    site_location site{44.63f, -123.19f, 70.0f};
    ASSERT_EQ(anchorFromFile(here("station.csv"), UNIT_UNSAID, station_season{1, 6, 31, 7}, &site, &found, &why,
                             nullptr),
              ANCHOR_OK)
        << why;
    map_anchor anchor;
    anchor.station = found.station;
    anchor.latitude = found.site.latitude;
    anchor.longitude = found.site.longitude;
    anchor.elevation = found.site.elevation;
    for (int m = 0; m < 12; m++) anchor.offsets[m] = found.offsets[m];
    land_map expected = *before;
    ASSERT_EQ(anchorLandMap(&expected, anchor, &why), TERRAIN_OK) << why;
    ASSERT_EQ(after->values.size(), expected.values.size());
    EXPECT_EQ(std::memcmp(after->values.data(), expected.values.data(), expected.values.size() * sizeof(float)), 0);
    EXPECT_NE(found.offsets[5], 0.0) << "June's offset moves the map";

    EXPECT_NE(label(w, "landmap_answer").find("(anchored to station station.csv)"), std::string::npos)
        << label(w, "landmap_answer");
    EXPECT_TRUE(gui::visible(part(w, "landmap_anchor_note")));
    EXPECT_NE(label(w, "landmap_anchor_note").find("Jun "), std::string::npos) << label(w, "landmap_anchor_note");
    // Anchored once only; computing again gives the estimate alone.
    EXPECT_FALSE(landmap_window_anchor(w, here("station.csv").c_str()));
    gui::click(part(w, "landmap_compute"));
    ASSERT_TRUE(await(w));
    EXPECT_FALSE(landmap_window_get_map(w)->options.anchor.anchored());
    EXPECT_FALSE(gui::visible(part(w, "landmap_anchor_note")));
}

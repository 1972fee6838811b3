// The window's files of a map. The texts are the terrain core's (mapTexts.h);
// the GeoTIFF is the core's own writer's, the one veranta-map uses, so the
// file is exactly what the command-line tool writes for the same land and
// settings, bands, metadata and all. The saved map is drawn by the same code
// as the window's frames, the whole land in view, into memory first.
#include "landmap/landmapExports.h"

#include "landmap/landmapRun.h"
#include "files/safeWrite.h"
#include "terrain/mapTexts.h"
#include "ui/chartText.h"
#include "ui/windowFiles.h"

namespace {

bool writeText(const std::string &text, const char *path, GError **error) {
    std::string why;
    const bool ok = writeFileSafely(path, text.data(), text.size(), &why);
    if (!ok) g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, why.c_str());
    return ok;
}

// The saved map's page: 1000 points wide, the caption over the map.
const double kWidth = 1000.0, kCaption = 64.0, kMap = 700.0, kCredit = 40.0;

struct page_of {
    const landmap_scene *scene;
    const std::string *caption;
    const std::string *answer;   // null: the land's answer
    const std::string *credit;   // null or empty: none, and no room for it
};

void drawPage(cairo_t *cr, const void *data) {
    const landmap_scene *scene = static_cast<const page_of *>(data)->scene;
    const std::string &caption = *static_cast<const page_of *>(data)->caption;
    cairo_rectangle(cr, 0, 0, kWidth, kCaption + kMap);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.10, 0.16, 0.14);
    drawText(cr, scene->by_irradiation ? "Season irradiation of the land" : "Season degree days of the land",
             "Sans Bold 13", 16, 10, 0.0, 0.0);
    drawText(cr, caption.c_str(), "Sans 9.5", 16, 32, 0.0, 0.0);
    const page_of *of = static_cast<const page_of *>(data);
    const bool credited = of->credit != nullptr && !of->credit->empty();
    if (credited) {
        cairo_rectangle(cr, 0, kCaption + kMap, kWidth, kCredit);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.10, 0.16, 0.14);
        drawText(cr, of->credit->c_str(), "Sans 7.5", 16, kCaption + kMap + 6, 0.0, 0.0);
    }
    drawText(cr, of->answer != nullptr ? of->answer->c_str() : answerText(*scene->map, scene->threshold).c_str(),
             "Sans Italic 9.5", 16, 47, 0.0, 0.0);

    landmap_scene page = *scene;
    landmap_image image;
    image.base = cairo_surface_reference(scene->image->base);
    page.image = &image;
    page.frame = landmap_fit(scene->map->grid.width, scene->map->grid.height, kWidth, kMap);
    cairo_save(cr);
    cairo_translate(cr, 0, kCaption);
    landmap_draw_map(cr, &page, kWidth, kMap);
    cairo_restore(cr);
    landmap_image_free(&image);
}

}  // namespace

bool landmap_export_areas(const land_map *map, float threshold, const std::string &dem_name, const char *path,
                          GError **error) {
    return writeText(areaTableCsv(*map, threshold, dem_name), path, error);
}

bool landmap_export_months(const land_map *map, int col, int row, const std::string &dem_name, const char *path,
                           GError **error) {
    gdd_falls falls;
    findGddFalls(&falls);
    std::string csv;
    if (!cellMonthsCsv(*map, col, row, &falls, dem_name, &csv)) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "no cell with data is selected");
        return false;
    }
    return writeText(csv, path, error);
}

bool landmap_export_geotiff(const land_map *map, const char *path, map_control *control, GError **error) {
    std::string refusal;
    const int status = writeLandMap(map, path, "", control, &refusal);
    if (status != TERRAIN_OK)
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_FAILED,
                            status == TERRAIN_CANCELLED ? "cancelled" : refusal.c_str());
    return status == TERRAIN_OK;
}

void landmap_geotiff_work(gpointer data) {
    landmap_geotiff_export *e = static_cast<landmap_geotiff_export *>(data);
    GError *error = nullptr;
    e->ok = landmap_export_geotiff(e->map.get(), e->path.c_str(), &e->control, &error);
    if (error != nullptr) {
        e->error = error->message;
        g_error_free(error);
    }
}

report_paper landmap_desktop_paper(void) {
    GtkPaperSize *paper = gtk_paper_size_new(nullptr);
    const bool letter = std::string(gtk_paper_size_get_name(paper)) == GTK_PAPER_NAME_LETTER;
    gtk_paper_size_free(paper);
    return letter ? REPORT_LETTER : REPORT_A4;
}

void landmap_report_work(gpointer data) {
    landmap_report_export *e = static_cast<landmap_report_export *>(data);
    map_report r;
    r.map = e->map.get();
    r.threshold = e->threshold;
    if (e->outline != nullptr)
        r.blocks = report_blocks{e->outline.get(), &e->figures, e->cell_block.empty() ? nullptr : e->cell_block.data()};
    // Who made the elevations, as the DEM's own metadata says.
    dem_source dem;
    std::string why;
    if (openDem(e->dem_path, 0, &dem, &why) == TERRAIN_OK) r.elevation = reportElevation(&dem, landmap_land_name(e->dem_path));
    closeDem(&dem);
    r.paper = e->paper;
    r.version = VERANTA_VERSION;
    r.date = reportToday();
    e->ok = writeMapReport(e->path, &r, &e->error);
}

std::string landmap_caption(const land_map &map, const std::string &land_path, const std::string &example) {
    const bool isExample = !example.empty() && land_path == example;
    return mapCaption(map, isExample ? "a made-up example land (not a real place)" : landmap_land_name(land_path));
}

bool landmap_save_map(const landmap_scene *scene, const std::string &caption, const char *path, GError **error) {
    if (scene->map == nullptr || scene->image == nullptr || scene->image->base == nullptr) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "there is no map to save");
        return false;
    }
    const page_of page = {scene, &caption, nullptr, nullptr};
    return saveDrawing(path, kWidth, kCaption + kMap, drawPage, &page, "map", error);
}

bool landmap_save_map_as(const landmap_scene *scene, const std::string &caption, const std::string &answer,
                         const std::string &credit, const char *path, GError **error) {
    if (scene->map == nullptr || scene->image == nullptr || scene->image->base == nullptr) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "there is no map to save");
        return false;
    }
    const page_of page = {scene, &caption, &answer, &credit};
    return saveDrawing(path, kWidth, kCaption + kMap + (credit.empty() ? 0.0 : kCredit), drawPage, &page, "map",
                       error);
}

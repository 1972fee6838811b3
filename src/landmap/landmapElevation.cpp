// The Get elevation dialog and what the map window says of a fetched model.
#include "landmap/landmapElevation.h"

#include "terrain/mapTexts.h"
#include "ui/windowFiles.h"
#include "ui/windowJob.h"
#include "ui/windowTools.h"

#include <gdal.h>

#include <cmath>

namespace {

// The sources in the chooser's order.
const elevation_source_id kChoices[] = {ELEVATION_CHOOSE, ELEVATION_COPERNICUS, ELEVATION_3DEP};

bool readNumber(GtkWidget *entry, double *value) {
    const char *text = gtk_entry_get_text(GTK_ENTRY(entry));
    char *end = nullptr;
    *value = g_ascii_strtod(text, &end);
    while (end != nullptr && g_ascii_isspace(*end)) end++;
    return end != text && end != nullptr && *end == '\0' && std::isfinite(*value);
}

}  // namespace

elevation_area landmap_box_area(double west, double south, double east, double north, double margin) {
    elevation_area a;
    a.west = west;
    a.south = south;
    a.east = east;
    a.north = north;
    a.margin_metres = margin;
    return a;
}

bool landmap_centre_area(double latitude, double longitude, double size, elevation_area *area, std::string *why) {
    if (!(latitude >= -80.0 && latitude <= 84.0)) {
        *why = "The latitude must lie from 80° south (-80) to 84° north (84).";
        return false;
    }
    if (!(longitude >= -180.0 && longitude <= 180.0)) {
        *why = "The longitude must lie from -180 (west) to 180 (east).";
        return false;
    }
    if (!(size >= 100.0 && size <= 100000.0)) {
        *why = "The size must be from 100 to 100000 metres.";
        return false;
    }
    *area = landmap_box_area(longitude, latitude, longitude, latitude, size / 2.0);
    return true;
}

std::string landmap_fetch_said(const elevation_area &area, elevation_source_id source,
                               const elevation_settings &settings) {
    // The default takes the bare-earth model where it covers the area; the
    // size is said for the global one, the larger cells' grid.
    const elevation_source_id shown = source == ELEVATION_CHOOSE ? ELEVATION_COPERNICUS : source;
    elevation_plan plan;
    std::string why;
    if (planElevation(area, shown, settings, &plan, &why) != ELEVATION_OK) return why;
    const double w = plan.width * plan.resolution / 1000.0, h = plan.height * plan.resolution / 1000.0;
    return decimalString(w, 1) + " × " + decimalString(h, 1) + " km of " + decimalString(plan.resolution, 0) +
           " m cells (" + std::to_string(plan.width) + " × " + std::to_string(plan.height) + "), from " +
           std::to_string(plan.tiles.size()) + (plan.tiles.size() == 1 ? " tile" : " tiles") +
           (source == ELEVATION_CHOOSE ? " (10 m cells where the bare-earth model is taken)" : "");
}

std::string landmap_elevation_credit(const std::string &path) {
    GDALDatasetH ds = GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
    if (ds == nullptr) return "";
    const char *key = GDALGetMetadataItem(ds, "ELEVATION_SOURCE", nullptr);
    const char *attribution = GDALGetMetadataItem(ds, "ELEVATION_ATTRIBUTION", nullptr);
    const elevation_source *source = key != nullptr ? elevationSourceByKey(key) : nullptr;
    std::string credit;
    if (source != nullptr) {
        credit = std::string("Elevation: ") + source->name +
                 (source->surface_model ? ", a surface model: it raises wooded land (tree tops, about 10 m above "
                                          "the ground in forest) and roofs."
                                        : ", bare earth.");
        if (attribution != nullptr && *attribution != '\0') credit += std::string("\n") + attribution;
    }
    GDALClose(ds);
    return credit;
}

void landmap_fetch_work(gpointer data) {
    landmap_fetch *f = static_cast<landmap_fetch *>(data);
    f->status = fetchElevation(f->area, f->source, f->settings, &f->progress, &f->result, &f->refusal);
}

struct _LandmapElevation {
    GtkWindow parent_instance;
    GtkWidget *source, *licence, *size_said, *area_grid, *latitude, *longitude, *size, *progress, *status;
    GtkWidget *fetch, *cancel;
    window_job job;
    bool have_box;
    double box[4];   // west, south, east, north
    double margin;
    void (*done)(GtkWindow *, const char *);
};

G_DEFINE_TYPE(LandmapElevation, landmap_elevation, GTK_TYPE_WINDOW)

namespace {

elevation_source_id chosenSource(LandmapElevation *self) {
    const int i = gtk_combo_box_get_active(GTK_COMBO_BOX(self->source));
    return i >= 0 && i < 3 ? kChoices[i] : ELEVATION_CHOOSE;
}

// The area as the dialog stands, or false with why.
bool areaOf(LandmapElevation *self, elevation_area *area, std::string *why) {
    if (self->have_box) {
        *area = landmap_box_area(self->box[0], self->box[1], self->box[2], self->box[3], self->margin);
        return true;
    }
    double lat = 0, lon = 0, size = 0;
    if (!readNumber(self->latitude, &lat) || !readNumber(self->longitude, &lon) || !readNumber(self->size, &size)) {
        *why = "Type the centre's latitude and longitude in degrees and the size in metres.";
        return false;
    }
    return landmap_centre_area(lat, lon, size, area, why);
}

// The licence line and the size follow the source and the area.
void showPlan(LandmapElevation *self) {
    const elevation_source_id id = chosenSource(self);
    std::string licence;
    if (id == ELEVATION_CHOOSE)
        licence = "The bare-earth model (USGS 3DEP, United States) where it covers the area, else the Copernicus "
                  "DEM: " + elevationLicenceLine(elevationSource(ELEVATION_COPERNICUS));
    else
        licence = elevationLicenceLine(elevationSource(id));
    gtk_label_set_text(GTK_LABEL(self->licence), licence.c_str());
    elevation_area area;
    std::string why;
    const std::string said = areaOf(self, &area, &why)
                                 ? "To fetch: " + landmap_fetch_said(area, id, elevationSettingsFromEnvironment())
                                 : why;
    gtk_label_set_text(GTK_LABEL(self->size_said), said.c_str());
}

void fetchDone(GtkWidget *window, gpointer data) {
    LandmapElevation *self = LANDMAP_ELEVATION(window);
    const landmap_fetch *f = static_cast<const landmap_fetch *>(data);
    gtk_widget_set_sensitive(self->fetch, TRUE);
    if (f->status != ELEVATION_OK) {
        showStatus(self->status, f->refusal.c_str(), true);
        gtk_widget_set_tooltip_text(self->status, f->refusal.c_str());
        return;
    }
    GtkWindow *parent = gtk_window_get_transient_for(GTK_WINDOW(self));
    if (self->done != nullptr && parent != nullptr) self->done(parent, f->result.path.c_str());
    gtk_widget_destroy(GTK_WIDGET(self));
}

double fetchProgress(gconstpointer data) { return static_cast<const landmap_fetch *>(data)->progress.fraction.load(); }

void freeFetch(gpointer data) { delete static_cast<landmap_fetch *>(data); }

const window_job_calls kFetchCalls = {landmap_fetch_work, fetchProgress, fetchDone, freeFetch, nullptr};

void onFetch(GtkButton *, LandmapElevation *self) {
    elevation_area area;
    std::string why;
    if (!areaOf(self, &area, &why)) {
        showStatus(self->status, why.c_str(), true);
        return;
    }
    landmap_fetch *f = new landmap_fetch();
    f->area = area;
    f->source = chosenSource(self);
    f->settings = elevationSettingsFromEnvironment();
    showStatus(self->status, "Fetching the elevation…", false);
    gtk_widget_set_sensitive(self->fetch, FALSE);
    windowJobStart(&self->job, GTK_WIDGET(self), f, &kFetchCalls, &f->progress.cancel, self->progress);
}

// Cancel stops a fetch under way, else closes.
void onCancel(GtkButton *, LandmapElevation *self) {
    if (windowJobRunning(&self->job)) {
        windowJobCancel(&self->job);
        gtk_widget_hide(self->progress);
        gtk_widget_set_sensitive(self->fetch, TRUE);
        showStatus(self->status, "Cancelled: nothing was kept.", false);
        return;
    }
    gtk_widget_destroy(GTK_WIDGET(self));
}

void onChanged(GtkWidget *, LandmapElevation *self) { showPlan(self); }

}  // namespace

static void landmap_elevation_init(LandmapElevation *self) {
    gtk_widget_init_template(GTK_WIDGET(self));
    self->have_box = false;
    self->margin = 0.0;
    self->done = nullptr;
    gtk_combo_box_set_active(GTK_COMBO_BOX(self->source), 0);
    windowKeys(GTK_WIDGET(self), self->cancel, nullptr, 0);
}

static void landmap_elevation_dispose(GObject *object) {
    windowJobCancel(&LANDMAP_ELEVATION(object)->job);
    G_OBJECT_CLASS(landmap_elevation_parent_class)->dispose(object);
}

static void landmap_elevation_class_init(LandmapElevationClass *klass) {
    G_OBJECT_CLASS(klass)->dispose = landmap_elevation_dispose;
    GtkWidgetClass *widget = GTK_WIDGET_CLASS(klass);
    registerWindowResources();
    gtk_widget_class_set_template_from_resource(widget, "/org/veranta/landmapElevation.ui");
#define ELEVATION_CHILD(member)                                                                            \
    gtk_widget_class_bind_template_child_full(widget, "elevation_" #member, FALSE,                          \
                                              G_STRUCT_OFFSET(LandmapElevation, member))
    ELEVATION_CHILD(source);
    ELEVATION_CHILD(licence);
    ELEVATION_CHILD(size_said);
    ELEVATION_CHILD(area_grid);
    ELEVATION_CHILD(latitude);
    ELEVATION_CHILD(longitude);
    ELEVATION_CHILD(size);
    ELEVATION_CHILD(progress);
    ELEVATION_CHILD(status);
    ELEVATION_CHILD(fetch);
    ELEVATION_CHILD(cancel);
#undef ELEVATION_CHILD
    gtk_widget_class_bind_template_callback(widget, onFetch);
    gtk_widget_class_bind_template_callback(widget, onCancel);
    gtk_widget_class_bind_template_callback(widget, onChanged);
}

LandmapElevation *landmap_elevation_open(GtkWindow *parent, bool have_box, const double box[4], double margin,
                                         void (*done)(GtkWindow *parent, const char *path)) {
    LandmapElevation *self = LANDMAP_ELEVATION(g_object_new(LANDMAP_TYPE_ELEVATION, nullptr));
    gtk_window_set_transient_for(GTK_WINDOW(self), parent);
    gtk_window_set_modal(GTK_WINDOW(self), TRUE);
    gtk_window_set_destroy_with_parent(GTK_WINDOW(self), TRUE);
    self->have_box = have_box;
    if (have_box)
        for (int i = 0; i < 4; i++) self->box[i] = box[i];
    self->margin = margin;
    self->done = done;
    gtk_widget_set_visible(self->area_grid, !have_box);
    showPlan(self);
    gtk_widget_show(GTK_WIDGET(self));
    gtk_widget_grab_focus(have_box ? self->fetch : self->latitude);
    return self;
}

bool landmap_elevation_is_fetching(LandmapElevation *self) { return windowJobRunning(&self->job); }

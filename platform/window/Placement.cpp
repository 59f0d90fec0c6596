#include "platform/window/Placement.h"

#include <algorithm>

namespace {

struct Place {
    int left, top, width, height;
};

constexpr const char* placeKey = "quorvel-place";

// GtkLayout has just given its children their minimum sizes; give them their places instead.
void allocatePlaces(GtkWidget* area, GdkRectangle*, gpointer) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(area));
    for (GList* item = children; item; item = item->next) {
        auto* child = static_cast<GtkWidget*>(item->data);
        auto* place = static_cast<Place*>(g_object_get_data(G_OBJECT(child), placeKey));
        if (!place || !gtk_widget_get_visible(child))
            continue;
        GtkRequisition minimum;
        gtk_widget_get_preferred_size(child, &minimum, nullptr);
        GtkAllocation allocation{place->left, place->top, place->width, place->height};
        // Entries and buttons draw padding and borders that cannot shrink below their
        // minimum; only labels are cut to their place.
        if (!GTK_IS_LABEL(child)) {
            allocation.width = std::max(allocation.width, minimum.width);
            allocation.height = std::max(allocation.height, minimum.height);
        }
        gtk_widget_size_allocate(child, &allocation);
    }
    g_list_free(children);
}

} // namespace

GtkWidget* newPlacementArea() {
    GtkWidget* area = gtk_layout_new(nullptr, nullptr);
    g_signal_connect_after(area, "size-allocate", G_CALLBACK(allocatePlaces), nullptr);
    return area;
}

void placeChild(GtkWidget* area, GtkWidget* child, int left, int top, int width, int height) {
    auto* place = static_cast<Place*>(g_object_get_data(G_OBJECT(child), placeKey));
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (!place) {
        place = new Place{};
        g_object_set_data_full(G_OBJECT(child), placeKey, place,
                               [](gpointer data) { delete static_cast<Place*>(data); });
    }
    *place = Place{left, top, width, height};
    gtk_widget_set_size_request(child, width, height);
    if (gtk_widget_get_parent(child) == area)
        gtk_layout_move(GTK_LAYOUT(area), child, left, top);
    else
        gtk_layout_put(GTK_LAYOUT(area), child, left, top);
    gtk_widget_queue_resize(child);
}

// GIO first: its headers use the word that Qt defines as a macro.
#include <gio/gio.h>

#include "platform/x11/ibusengines.h"

namespace klavoro::x11 {

QStringList ibusPreloadEngines() {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source) return {};
    // A missing schema would end the process inside g_settings_new.
    GSettingsSchema* schema =
        g_settings_schema_source_lookup(source, "org.freedesktop.ibus.general", TRUE);
    if (!schema) return {};
    QStringList engines;
    if (g_settings_schema_has_key(schema, "preload-engines")) {
        GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
        gchar** names = g_settings_get_strv(settings, "preload-engines");
        for (gchar** p = names; p && *p; ++p)
            engines << QString::fromUtf8(*p);
        g_strfreev(names);
        g_object_unref(settings);
    }
    g_settings_schema_unref(schema);
    return engines;
}

} // namespace klavoro::x11

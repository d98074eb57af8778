#include "GSettingsWallpaper.h"

#include "DesktopSetter.h"

#define G_SETTINGS_ENABLE_BACKEND  // for g_settings_backend_get_default
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vlmr {
namespace {

struct SchemaUnref {
    void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
};
struct KeyUnref {
    void operator()(GSettingsSchemaKey* key) const { g_settings_schema_key_unref(key); }
};
struct VariantUnref {
    void operator()(GVariant* value) const { g_variant_unref(value); }
};
struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct Free {
    void operator()(gpointer memory) const { g_free(memory); }
};
using SchemaPtr = std::unique_ptr<GSettingsSchema, SchemaUnref>;
using KeyPtr = std::unique_ptr<GSettingsSchemaKey, KeyUnref>;
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;
using SettingsPtr = std::unique_ptr<GSettings, ObjectUnref>;
using BackendPtr = std::unique_ptr<GSettingsBackend, ObjectUnref>;
using CharPtr = std::unique_ptr<gchar, Free>;

struct FamilyKeys {
    const char* schema;
    const char* fileKey;
    bool fileIsUri;  // otherwise a plain path
};

FamilyKeys KeysOf(GSettingsFamily family) {
    switch (family) {
    case GSettingsFamily::Cinnamon:
        return {"org.cinnamon.desktop.background", "picture-uri", true};
    case GSettingsFamily::Mate:
        return {"org.mate.background", "picture-filename", false};
    case GSettingsFamily::Gnome:
        break;
    }
    return {"org.gnome.desktop.background", "picture-uri", true};
}

constexpr const char* kOptionsKey = "picture-options";
// GNOME 42 and later show this one in dark mode and ignore a change of picture-uri alone.
constexpr const char* kDarkUriKey = "picture-uri-dark";

// Indexed by the style code: center, tile, stretch, fit inside with bars,
// fill and crop.
constexpr std::array<const char*, 5> kStyleNames{"centered", "wallpaper", "stretched", "scaled", "zoom"};
// A schema must take the first three; the others only when they are asked for.
constexpr std::size_t kPlainStyles = 3;
using StylesTaken = std::array<bool, kStyleNames.size()>;

// Writing a value of the wrong type or outside an enum's names is a critical
// error inside GIO, so every value is checked against the schema first.
bool AcceptsString(GSettingsSchema* schema, const char* key, const char* value = nullptr) {
    if (!g_settings_schema_has_key(schema, key)) return false;
    const KeyPtr schemaKey(g_settings_schema_get_key(schema, key));
    if (!g_variant_type_equal(g_settings_schema_key_get_value_type(schemaKey.get()),
                              G_VARIANT_TYPE_STRING))
        return false;
    if (value == nullptr) return true;
    const VariantPtr variant(g_variant_ref_sink(g_variant_new_string(value)));
    return g_settings_schema_key_range_check(schemaKey.get(), variant.get());
}

// The memory and null backends accept every write and tell no desktop about
// it: GIO falls back to them when dconf is not installed.
bool BackendReachesDesktop() {
    const BackendPtr backend(g_settings_backend_get_default());
    const char* type = G_OBJECT_TYPE_NAME(backend.get());
    return std::strcmp(type, "GMemorySettingsBackend") != 0 &&
           std::strcmp(type, "GNullSettingsBackend") != 0;
}

class GSettingsDesktop final : public DesktopSetter {
public:
    GSettingsDesktop(SettingsPtr settings, FamilyKeys keys, bool darkUri, StylesTaken taken)
        : settings_(std::move(settings)), keys_(keys), darkUri_(darkUri), taken_(taken) {
        // Picture and style reach the backend as one change, so the desktop
        // never shows the new picture in the old style.
        g_settings_delay(settings_.get());
    }

    bool Apply(const std::string& file, std::uint32_t style) override {
        // Writing a name the enum lacks would be a critical error inside GIO.
        if (!taken_[style])
            return Refuse(file, (std::string("the setting ") + kOptionsKey + " does not take '" +
                                 kStyleNames[style] + "' here").c_str());
        std::string location;
        if (keys_.fileIsUri) {
            // Escaped from the name's bytes, so a name in any encoding survives.
            const CharPtr uri(g_filename_to_uri(file.c_str(), nullptr, nullptr));
            if (!uri) return Refuse(file, "the name cannot be made into a file URI");
            location = uri.get();
        } else {
            // GSettings strings are UTF-8; a name in another encoding cannot be stored.
            if (!NameIsUtf8(file, "MATE's picture-filename")) return false;
            location = file;
        }

        std::vector<std::pair<const char*, std::string>> writes{{keys_.fileKey, location}};
        if (darkUri_) writes.emplace_back(kDarkUriKey, location);
        writes.emplace_back(kOptionsKey, kStyleNames[style]);

        // A key locked down by the administrator: change nothing rather than half.
        for (const auto& [key, value] : writes)
            if (!g_settings_is_writable(settings_.get(), key))
                return Refuse(file, (std::string("the setting ") + key + " is locked by the administrator").c_str());
        for (const auto& [key, value] : writes) {
            if (!g_settings_set_string(settings_.get(), key, value.c_str())) {
                g_settings_revert(settings_.get());
                return Refuse(file, (std::string("the setting ") + key + " does not take the value").c_str());
            }
        }
        g_settings_apply(settings_.get());
        // dconf writes in the background and takes a refused change back (no
        // session bus, no dconf service); waiting and reading back tells.
        g_settings_sync();
        for (const auto& [key, value] : writes) {
            const CharPtr stored(g_settings_get_string(settings_.get(), key));
            if (value != stored.get())
                return Refuse(file, (std::string("the setting ") + key +
                                     " did not keep the value (is the dconf service reachable on the session bus?)").c_str());
        }
        return true;
    }

private:
    SettingsPtr settings_;
    FamilyKeys keys_;
    bool darkUri_;
    StylesTaken taken_;
};

}  // namespace

std::unique_ptr<ActiveDesktop> GSettingsWallpaper::Create() {
    const FamilyKeys keys = KeysOf(family_);
    const auto absent = [&keys](const std::string& why) {
        SayWallpaperUnchanged(std::string("the settings schema ") + keys.schema + " " + why);
        return nullptr;
    };
    // g_settings_new aborts the process on a schema that is not installed:
    // look it up first.
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source == nullptr) return absent("cannot be looked up: no schemas are installed");
    const SchemaPtr schema(g_settings_schema_source_lookup(source, keys.schema, TRUE));
    if (!schema) return absent("is not installed");
    // A relocatable schema has no place of its own; creating it without one aborts too.
    if (g_settings_schema_get_path(schema.get()) == nullptr) return absent("has no fixed place");
    if (!AcceptsString(schema.get(), keys.fileKey))
        return absent(std::string("has no string key ") + keys.fileKey);
    StylesTaken taken{};
    for (std::size_t code = 0; code < kStyleNames.size(); ++code) {
        taken[code] = AcceptsString(schema.get(), kOptionsKey, kStyleNames[code]);
        if (code < kPlainStyles && !taken[code])
            return absent(std::string("does not take ") + kOptionsKey + " '" + kStyleNames[code] + "'");
    }
    if (!BackendReachesDesktop())
        return absent("is only kept in memory here (no dconf), so the desktop would never see a change");

    const bool darkUri = keys.fileIsUri && AcceptsString(schema.get(), kDarkUriKey);
    SettingsPtr settings(g_settings_new_full(schema.get(), nullptr, nullptr));
    return std::make_unique<GSettingsDesktop>(std::move(settings), keys, darkUri, taken);
}

std::string GSettingsWallpaper::Mechanism() {
    return std::string("GSettings ") + KeysOf(family_).schema;
}

}  // namespace vlmr

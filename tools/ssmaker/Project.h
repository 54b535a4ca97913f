#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/sspack/JsonValues.h"
#include "tools/sspack/Manifest.h"

namespace maker {

using Json = sspack::Json;

// A project is a manifest: the window edits its JSON in place, so whatever the window does not show
// (masks, filters, caption styles, overrides ...) is written back as it was read, and `sspack build`
// of a saved project makes the same screen saver as the window.
//
// File names are kept as the manifest writes them: relative to the project's folder once it has
// one, full paths before it is first saved. Paths in and out of this class are full paths.
class TProject {
public:
    // A new project: no items, the builder's defaults.
    TProject();

    // Reads a manifest as `sspack build` would, refusing what it would refuse (ManifestError),
    // except files that are not where it says: the project opens, to be mended (MissingFiles).
    static TProject Open(const std::string& path);
    // Writes the manifest; file names become relative to its folder.
    void Save(const std::string& path);

    const std::string& Path() const { return path_; }
    bool Modified() const { return modified_; }
    const Json& Document() const { return doc_; }

    // What the package builder makes of it now (ManifestError when a file has gone).
    sspack::Manifest ToManifest() const;
    // The files the project names that are not there, as full paths in the manifest's order.
    std::vector<std::string> MissingFiles() const;

    // The pictures and videos, in show order.
    std::size_t ItemCount() const;
    std::string ItemFile(std::size_t i) const;
    void AddItem(const std::string& file);
    void RemoveItem(std::size_t i);
    // Swaps item i with its neighbour before (-1) or after (+1).
    void MoveItem(std::size_t i, int step);
    std::string ItemCaption(std::size_t i) const;
    void SetItemCaption(std::size_t i, const std::string& text);
    int ItemDuration(std::size_t i) const;  // seconds; 0 takes the saver's
    void SetItemDuration(std::size_t i, int seconds);
    int ItemSizeMode(std::size_t i) const;  // -1 takes the saver's, else 0..5
    void SetItemSizeMode(std::size_t i, int mode);
    int ItemEnterSound(std::size_t i) const;  // an entry sound's index, -1 none
    void SetItemEnterSound(std::size_t i, int sound);

    // Music tracks and entry sounds; "music" or "entrySounds".
    std::vector<std::string> Files(const char* table) const;
    void AddFile(const char* table, const std::string& file);
    // Removing an entry sound takes it from the items that played it.
    void RemoveFile(const char* table, std::size_t i);
    void MoveFile(const char* table, std::size_t i, int step);

    // The header's settings by their manifest names: numbers (codes as their numbers), flags and
    // colours (0x00BBGGRR), with the builder's defaults where the manifest gives none.
    std::int32_t Number(const char* key) const;
    void SetNumber(const char* key, std::int32_t value);
    bool Flag(const char* key) const;
    void SetFlag(const char* key, bool value);
    std::int32_t Color(const char* key) const;
    void SetColor(const char* key, std::int32_t color);

    std::string SaverName() const;
    void SetSaverName(const std::string& name);
    // The effects the transitions are drawn from: 120 marks, effect 1 first.
    std::vector<bool> Effects() const;
    void SetEffects(const std::vector<bool>& marks);

    // The logo drawn on every item; empty for none.
    std::string Logo() const;
    void SetLogo(const std::string& file);

    // What the manifest holds that the window has no control for, kept as written: one short
    // phrase each ("2 masks", "AboutText", "items' filters"), in the manifest's order.
    std::vector<std::string> KeptSettings() const;

private:
    explicit TProject(Json doc, std::string path);

    Json& Items();
    Json& Item(std::size_t i);
    const Json& ItemAt(std::size_t i) const;
    Json& Table(const char* table);
    // A file as stored, and back to a full path.
    std::string Stored(const std::string& fullPath) const;
    std::string FullPath(const std::string& stored) const;
    Json Rebased(const std::string& newFolder) const;
    void Changed() { modified_ = true; }

    Json doc_;
    std::string path_;
    bool modified_ = false;
};

// The manifest's tables of sounds, for Files, AddFile, RemoveFile and MoveFile.
namespace sounds {
inline constexpr char kMusic[] = "music";
inline constexpr char kEntrySounds[] = "entrySounds";
}  // namespace sounds

// The header settings the window offers, by their manifest names.
namespace key {
inline constexpr char kSeconds[] = "Seconds";
inline constexpr char kDisplayOrder[] = "DisplayOrder";
inline constexpr char kStretch[] = "Stretch";
inline constexpr char kEffectSpeed[] = "EffectSpeed";
inline constexpr char kGradientStyle[] = "GradientStyle";
inline constexpr char kBackgroundColor[] = "BackgroundColor";
inline constexpr char kBackgroundColor2[] = "BackgroundColor2";
inline constexpr char kLogoPosition[] = "LogoPosition";
}  // namespace key

}  // namespace maker

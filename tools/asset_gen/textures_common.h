#pragma once

// The texture writers of the generator, one per group of pictures.

#include <string>
#include <vector>

namespace gen {

class Canvas;
class Noise;
struct Rgba;

// Writes the picture to textures/<name> below the data folder and adds
// that path to files.
void SaveTexture(Canvas const& c, std::string const& data_dir, std::string const& name,
                 std::vector<std::string>& files);

// A rounded panel with a vertical gradient and a bevelled edge lit from the
// upper left; grain (may be null) mottles it.
void Bevel(Canvas& c, float left, float top, float right, float bottom, float radius, float bevel, Rgba upper,
           Rgba lower, Noise const* grain);

std::vector<std::string> WriteLevelTextures(std::string const& data_dir);
std::vector<std::string> WriteEffectTextures(std::string const& data_dir);
std::vector<std::string> WriteCharacterTextures(std::string const& data_dir);
std::vector<std::string> WriteMenuTextures(std::string const& data_dir);
std::vector<std::string> WriteHudTextures(std::string const& data_dir);
std::vector<std::string> WriteIconTextures(std::string const& data_dir);

}  // namespace gen

#include "game/app/characters.h"

#include "engine/audio/sound_handler.h"
#include "engine/core/config.h"
#include "engine/core/error.h"
#include "engine/core/info_file.h"
#include "engine/core/path_provider.h"
#include "engine/core/resources.h"

#include <boost/property_tree/ptree.hpp>


namespace vo {

namespace {

const char* const unspecified = "UNSPECIFIED";

CharacterDesc ReadCharacter(ptree const& group, int index) {
    CharacterDesc desc;
    desc.name = group.get<std::string>("name", unspecified);
    desc.textureName = group.get<std::string>("textureName", unspecified);
    desc.voiceFile = group.get<std::string>("voiceFile", unspecified);
    desc.portrait = Image(GetTexture(group.get<std::string>("portraitName", unspecified)));
    desc.visualScale = group.get<float>("visualScale", 1.0f);
    desc.index = index;
    desc.texX1 = group.get<float>("texX1", 0.0f);
    desc.texY1 = group.get<float>("texY1", 0.0f);
    desc.texX2 = group.get<float>("texX2", 1.0f);
    desc.texY2 = group.get<float>("texY2", 1.0f);
    desc.isMale = group.get<bool>("isMale", true);
    desc.pitch = group.get<float>("pitch", 1.0f);
    desc.volume = group.get<float>("volume", 100.0f);
    return desc;
}

struct CharacterList {
    CharacterHandler handler;
    std::string file;
};

CharacterList& Characters() {
    static CharacterList list;
    return list;
}

}  // namespace

CharacterHandler::CharacterHandler() {
    fallback_.name = "char_none";
    fallback_.textureName = "char_none.png";
    fallback_.portrait = Image(GetTexture("char_none.png"));
    fallback_.index = -1;
}

void CharacterHandler::load(const char* file) {
    entries_.clear();
    ptree tree;
    ReadInfoFile(file, tree);
    if (tree.empty()) throw Error(std::string("Couldn't load characterDescFile at ") + file);
    for (auto const& child : tree) {
        if (child.first != "character") continue;
        Entry entry;
        entry.desc = ReadCharacter(child.second, static_cast<int>(entries_.size()));
        entries_.push_back(entry);
    }
}

CharacterDesc const& CharacterHandler::get(unsigned index) const {
    return index < entries_.size() ? entries_[index].desc : fallback_;
}

unsigned CharacterHandler::size() { return static_cast<unsigned>(entries_.size()); }

const char* CharacterHandler::entry_name(unsigned index) { return entries_.at(index).desc.name.c_str(); }

Image CharacterHandler::entry_image(unsigned index) { return entries_.at(index).desc.portrait; }

std::uint32_t CharacterHandler::entry_flags(unsigned index) { return entries_.at(index).flags; }

void CharacterHandler::set_entry_selected(unsigned index, bool selected) {
    std::uint32_t& flags = entries_.at(index).flags;
    if (selected) {
        flags |= selected_flag;
    } else {
        flags &= ~selected_flag;
    }
}

void SetCharactersFilePath(std::string path) { Characters().file = path; }

const char* CharactersFilePath() { return Characters().file.c_str(); }

void LoadCharacters() {
    CharacterList& list = Characters();
    list.handler.load(list.file.c_str());
}

CharacterHandler& GetCharacterHandler() { return Characters().handler; }

CharacterDesc const& GetCharacter(unsigned index) { return Characters().handler.get(index); }

unsigned NumCharacters() { return Characters().handler.size(); }

std::vector<SmartPtr<SoundBuffer>> LoadScreams(CharacterDesc const& character) {
    ptree tree;
    ReadInfoFile(PathProvider::get_path(1) + character.voiceFile, tree);
    std::vector<SmartPtr<SoundBuffer>> screams;
    auto const found = tree.find("screams");
    if (found == tree.not_found()) return screams;
    const std::string sounds = PathProvider::get_path(11);
    for (auto const& child : found->second) {
        if (child.first != "file") continue;
        screams.push_back(GetSoundBuffer((sounds + child.second.data()).c_str()));
    }
    return screams;
}

}  // namespace vo

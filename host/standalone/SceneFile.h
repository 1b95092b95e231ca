// Scene files (.scene.json): loading a file into a new current scene, saving the current
// scene. A file is checked whole before it replaces the scene: any malformed input gives
// FALSE and an error "<file>: <JSON path>: <reason>", and the current scene stays as it was.
// Saving writes a temporary file beside the target and renames it over the target.
// Texts are UTF-8 in the file and code page 1251 in the scene; a text with a character
// outside code page 1251 is an error.
#pragma once

#include <memory>
#include <string>

class Scene;

bool LoadSceneFile(const std::string& path, std::string* error);
bool SaveSceneFile(const std::string& path, std::string* error);

// The same on a given scene / text (for tests and the importer).
std::unique_ptr<Scene> ParseScene(const std::string& jsonText, const std::string& fileName, std::string* error);
bool WriteScene(const Scene& scene, std::string& jsonText, std::string* error);

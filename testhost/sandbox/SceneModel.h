// A model in the replacement host's scene: its objects as polyhedra with their material slots,
// and the scene read back as a model to save what the plug-in painted.
#ifndef SCENEMODEL_H
#define SCENEMODEL_H

#include <functional>

#include "ObjModel.h"

// Reads the OBJ file, and only when it is sound replaces the host's scene by its objects, one
// polyhedron each, in the file's order (polyhedra receives their handles). On failure the scene
// is left as it was and error says why. beforeReplace runs once the file has proved sound.
bool LoadModelIntoHost(const std::string& path, Model& model, std::vector<ZvkHandle>& polyhedra, std::string& error,
                       const std::function<void()>& beforeReplace = nullptr);

// The model as the host now has it: the loaded geometry, each polyhedron's slots and each face's
// slot. A slot the plug-in added gets a name of its own ("painted-<object>-<slot>"); the others
// keep the names they were loaded with.
Model ModelFromHost(const Model& loaded, const std::vector<ZvkHandle>& polyhedra);

#endif

#include "SceneModel.h"

#include "zvktest.h"

#include <algorithm>
#include <cstring>

static ZvktMaterial SlotMaterial(const ZvkColor& colour)
{
    ZvktMaterial material;
    memset(&material, 0, sizeof material);
    material.colour = colour;
    material.shaderBox = ZVKT_SHADERBOX_VALID;
    return material;
}

bool LoadModelIntoHost(const std::string& path, Model& model, std::vector<ZvkHandle>& polyhedra, std::string& error,
                       const std::function<void()>& beforeReplace)
{
    Model read;
    if (!ReadObjModel(path, read, error))
        return false;
    if (beforeReplace)
        beforeReplace();
    zvktReset();
    polyhedra.clear();
    for (const ModelObject& object : read.objects)
    {
        ZvkHandle polyhedron = zvktAddPolyhedron(object.name.c_str(), object.FaceCount(), object.faceSlots.data(),
                                                 (int)object.slots.size());
        for (int s = 0; s < (int)object.slots.size(); ++s)
        {
            ZvktMaterial material = SlotMaterial(object.slots[s].colour);
            zvktSetSlot(polyhedron, s, &material);
        }
        polyhedra.push_back(polyhedron);
    }
    model = std::move(read);
    return true;
}

Model ModelFromHost(const Model& loaded, const std::vector<ZvkHandle>& polyhedra)
{
    Model model;
    model.positions = loaded.positions;
    for (size_t i = 0; i < loaded.objects.size() && i < polyhedra.size(); ++i)
    {
        const ModelObject& original = loaded.objects[i];
        ZvkHandle polyhedron = polyhedra[i];
        ModelObject object;
        object.name = zvktObjectName(polyhedron);
        object.faceStarts = original.faceStarts;
        object.corners = original.corners;
        int slots = zvktSlotCount(polyhedron);
        for (int s = 0; s < slots; ++s)
        {
            ZvktMaterial material;
            memset(&material, 0, sizeof material);
            zvktGetSlot(polyhedron, s, &material);
            std::string name = s < (int)original.slots.size()
                                   ? original.slots[s].name
                                   : "painted-" + std::to_string(i + 1) + "-" + std::to_string(s);
            object.slots.push_back({ name, material.colour });
        }
        int faces = std::min(original.FaceCount(), zvktFaceCount(polyhedron));
        object.faceSlots.resize(original.FaceCount(), 0);
        for (int f = 0; f < faces; ++f)
        {
            int slot = zvktFaceMaterialIndex(polyhedron, f);
            object.faceSlots[f] = (unsigned short)(slot >= 0 && slot < slots ? slot : 0);
        }
        model.objects.push_back(std::move(object));
    }
    return model;
}

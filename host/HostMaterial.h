// Host materials that release themselves, and the shader lookup a material is given. The one place
// that makes, releases and frees a material: zvkMaterialCreate yields a block the plug-in owns until
// zvkMaterialDestroy has released its contents and zvkFree the block, on every way out.
#ifndef HOSTMATERIAL_H
#define HOSTMATERIAL_H

#include "host/zvkapi.h"

class CHostMaterial
{
public:
    // A copy of the material the Material Editor shows; none (IsMade() false) when the host made none.
    static CHostMaterial EditorCopy()
    {
        ZvkHandle material = NULL;
        zvkMaterialCreate(&material);
        return CHostMaterial(material);
    }

    // A copy of the polyhedron's material of this index (its slot). For an index outside its table
    // the material holds whatever the host leaves in it.
    static CHostMaterial SlotCopy(ZvkHandle polyhedron, unsigned short slot)
    {
        CHostMaterial material = EditorCopy();
        if (material.IsMade())
            material.ReadSlot(polyhedron, slot);
        return material;
    }

    // What a paint takes: the editor's copy, then the host asked for its active material (the
    // answer is not used, but a paint has always asked it at this point), then invisible (alpha 0)
    // when asked for.
    static CHostMaterial PaintCopy(bool invisible)
    {
        CHostMaterial material = EditorCopy();
        if (!material.IsMade())
            return material;
        zvkMaterialGetActive();
        if (invisible)
        {
            ZvkColor colour = material.Colour();
            colour.a = 0;
            material.SetColour(colour);
        }
        return material;
    }

    CHostMaterial() : m_material(NULL) {}
    CHostMaterial(CHostMaterial&& other) noexcept : m_material(other.m_material) { other.m_material = NULL; }
    CHostMaterial& operator=(CHostMaterial&& other) noexcept
    {
        if (this != &other)
        {
            Release();
            m_material = other.m_material;
            other.m_material = NULL;
        }
        return *this;
    }
    ~CHostMaterial() { Release(); }

    bool IsMade() const { return m_material != NULL; }
    ZvkHandle Handle() const { return m_material; }

    // Released now rather than at the end of the scope, where the host's order of calls needs it.
    void Release()
    {
        if (m_material == NULL)
            return;
        zvkMaterialDestroy(m_material);
        zvkFree(m_material);
        m_material = NULL;
    }

    ZvkColor Colour() const
    {
        ZvkColor colour = { 0, 0, 0, 0 };
        zvkMaterialGetColor(m_material, &colour);
        return colour;
    }
    void SetColour(const ZvkColor& colour) { zvkMaterialSetColor(m_material, &colour); }
    void ReadSlot(ZvkHandle polyhedron, unsigned short slot) { zvkPolyhGetMaterial(polyhedron, slot, m_material); }
    bool HasGlobalTexture() const { return zvkMaterialGetTextureType(m_material) == ZVK_TEXTURE_GLOBAL; }

    // The Material Editor shows a copy of this material: the next paint takes it as the editor's.
    void ShowInEditor() const
    {
        zvkMaterialSetActive(m_material);
        zvkMaterialFixColor(m_material);
    }

    void GiveShaderBox()
    {
        if (zvkMaterialIsShaderBoxNull(m_material) || !zvkMaterialIsShaderBoxValid(m_material))
            zvkMaterialCreateShaderBox(m_material);
    }

    // The shader through a shader info of its own; shader 0 (none found) is given as it is, the
    // host's to treat. Without a shader info from the host the material keeps the shader it has.
    void ApplyShader(ZvkHandle shader)
    {
        ZvkHandle info = zvkShaderInfoCreate();
        if (info == NULL)
            return;
        zvkShaderInfoSetShader(info, shader);
        zvkMaterialSetShaderInfo(m_material, info);
        zvkShaderInfoDestroy(info);
    }

private:
    explicit CHostMaterial(ZvkHandle material) : m_material(material) {}
    CHostMaterial(const CHostMaterial&) = delete;
    CHostMaterial& operator=(const CHostMaterial&) = delete;

    ZvkHandle m_material;
};

// The walk runs to its end, so of several shaders with the identifier the last one wins; NULL
// when none has it.
inline ZvkHandle LastShaderWithId(int id)
{
    ZvkHandle found = NULL;
    for (ZvkHandle shader = zvkShaderGetFirst(); shader != NULL; shader = zvkShaderGetNext(shader))
        if (zvkShaderGetID(shader) == id)
            found = shader;
    return found;
}

#endif

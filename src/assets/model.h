// The two models: materials, material textures and immediate-mode drawing.
#pragma once

#include "assets/obj_reader.h"
#include "assets/tga_reader.h"

extern Model3D fighterModel;
extern Model3D fountainModel;
extern ImageData modelTexture;  // textureName: the most recent material texture

// Draws every object of the copy (the arrays are shared, not copied).
void drawModel(Model3D model);

// Reads one model file; one loader per model, used once at set-up.
class ObjLoader {
public:
    // False without a message for a missing model or path; a file that can't
    // be opened shows "The model could not be loaded" and returns false.
    bool loadObjModel(Model3D* model, const char* path);
    void appendMaterial(Model3D* model, const char* name, const char* file, int r, int g, int b);
    void assignObjectMaterial(Model3D* model, int objectIndex, int materialIndex);
};

extern ObjLoader fighterLoader;
extern ObjLoader fountainLoader;

// One GL texture per material naming a file; the last one made stays in modelTexture.
void createMaterialTextures(Model3D& model);
// Releases the vertices, faces and texCoords arrays of every object (shutdown).
void releaseMeshArrays(Model3D& model);

// Models (not built yet).
#include "assets/model.h"

Model3D fighterModel;
Model3D fountainModel;
ImageData modelTexture;
ObjLoader fighterLoader;
ObjLoader fountainLoader;
void drawModel(Model3D) {}
bool ObjLoader::loadObjModel(Model3D*, const char*) { return false; }
void ObjLoader::appendMaterial(Model3D*, const char*, const char*, int, int, int) {}
void ObjLoader::assignObjectMaterial(Model3D*, int, int) {}
void createMaterialTextures(Model3D&) {}
void releaseMeshArrays(Model3D&) {}

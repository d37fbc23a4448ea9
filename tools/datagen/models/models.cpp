// Writes Data/Models/fighter.obj and fountain.obj.
#include "datagen/datagen.h"
#include "datagen/models/models.h"

namespace datagen {

bool writeModels(const std::string& dataDir)
{
    bool ok = writeFileText(dataDir + "/Models/fighter.obj", objText(makeFighter(), "fighter"));
    ok = writeFileText(dataDir + "/Models/fountain.obj", objText(makeFountain(), "fountain")) && ok;
    return ok;
}

} // namespace datagen

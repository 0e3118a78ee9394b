// The fighter classes of data.json: the roster, its pictures and its class objects.
#include "fighter_classes.h"

#include <cstdio>

std::vector<ClassDesign> rosterDesigns() {
    std::vector<ClassDesign> designs = {brawlerDesign(), duelistDesign(), lancerDesign(),
                                        crusherDesign(), dancerDesign(),  wardenDesign()};
    for (ClassDesign& d : designs) d = tunedDesign(std::move(d));
    return designs;
}

bool addFighterClasses(DataBuilder& builder, const std::string& outDir) {
    bool ok = true;
    // Two threads: the generator's budget assumes two cores.
    const std::vector<ClassDesign> designs = rosterDesigns();
    std::vector<BuiltClass> built = buildClasses(designs, outDir, 2, &ok);
    for (BuiltClass& c : built) addFighterClass(builder, std::move(c.classJson));
    if (!ok) std::fprintf(stderr, "fighter classes: some pictures failed\n");
    return ok;
}

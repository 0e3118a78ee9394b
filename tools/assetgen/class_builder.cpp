// Turns class designs into pictures on disk and the class objects of data.json.
#include "class_builder.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "class_picture.h"
#include "frame_geometry.h"
#include "png_writer.h"

namespace {

enum class PictureKind { Body, Mask, Trail, Glint, ClassPicture };

// One file to draw. Requests with equal keys share one file.
struct PictureJob {
    PictureKind kind = PictureKind::Body;
    const ClassDesign* design = nullptr;
    Pose pose;
    Pose from;
    Striker striker = Striker::None;
    float amount = 1;  // trail fade or glint size
    std::string path;  // relative, without the suffix
    std::string suffix = ".png";
    // Results.
    FramePlacement placement;
    int front = 0;
    bool ok = false;
};

struct Registry {
    std::vector<PictureJob> jobs;
    std::map<std::string, int> byKey;
    std::map<std::string, int> counters;  // per class: files named so far
};

int request(Registry& reg, const std::string& key, PictureJob job) {
    const auto found = reg.byKey.find(key);
    if (found != reg.byKey.end()) return found->second;
    const int id = int(reg.jobs.size());
    reg.jobs.push_back(std::move(job));
    reg.byKey.emplace(key, id);
    return id;
}

std::string nextName(Registry& reg, const ClassDesign& d, const char* prefix) {
    const int n = ++reg.counters[d.key + prefix];
    return "image/fighter/" + d.key + "/" + prefix + std::to_string(n);
}

Json stepJson(Step s, bool mirrorX) { return Json{{"x", mirrorX ? -s.x : s.x}, {"y", s.y}}; }

// Walks the animations of one class. The first walk only registers pictures; once they are
// drawn the second walk writes the JSON with their placements.
struct Walker {
    const ClassDesign& design;
    Registry& reg;
    std::vector<AttackReach>* reaches = nullptr;

    // A frame that does not hit may show any picture of its pose; a hitting frame needs a file
    // of its own for each striking part, since its hit mask is named after the picture.
    int body(const Pose& pose, Striker striker) {
        const std::string poseOnly = design.key + "|P|" + poseKey(pose);
        if (striker == Striker::None && reg.byKey.count(poseOnly)) return reg.byKey[poseOnly];
        const std::string key = design.key + "|B|" + poseKey(pose) + "|" + std::to_string(int(striker));
        if (reg.byKey.count(key)) return reg.byKey[key];
        PictureJob job;
        job.kind = PictureKind::Body;
        job.design = &design;
        job.pose = pose;
        job.path = nextName(reg, design, "p");
        const int id = request(reg, key, job);
        if (!reg.byKey.count(poseOnly)) reg.byKey[poseOnly] = id;
        return id;
    }
    int mask(int bodyJob, const Pose& pose, Striker striker) {
        const std::string key = design.key + "|M|" + std::to_string(bodyJob);
        if (reg.byKey.count(key)) return reg.byKey[key];
        PictureJob job;
        job.kind = PictureKind::Mask;
        job.design = &design;
        job.pose = pose;
        job.striker = striker;
        job.path = reg.jobs[size_t(bodyJob)].path;
        job.suffix = "hurt.png";
        return request(reg, key, job);
    }
    int trail(const Pose& from, const Pose& to, Striker part, float fade) {
        const std::string key = design.key + "|T|" + poseKey(from) + "|" + poseKey(to) + "|" + std::to_string(int(part)) +
                                "|" + std::to_string(fade);
        if (reg.byKey.count(key)) return reg.byKey[key];
        PictureJob job;
        job.kind = PictureKind::Trail;
        job.design = &design;
        job.from = from;
        job.pose = to;
        job.striker = part;
        job.amount = fade;
        job.path = nextName(reg, design, "w");
        return request(reg, key, job);
    }
    int glint(const Pose& pose, float size) {
        const std::string key = design.key + "|G|" + poseKey(pose) + "|" + std::to_string(size);
        if (reg.byKey.count(key)) return reg.byKey[key];
        PictureJob job;
        job.kind = PictureKind::Glint;
        job.design = &design;
        job.pose = pose;
        job.amount = size;
        job.path = nextName(reg, design, "g");
        return request(reg, key, job);
    }

    Json windFrames(const std::vector<std::pair<int, int>>& pictures) {
        Json frames = Json::array();
        for (const auto& [job, length] : pictures) {
            const PictureJob& j = reg.jobs[size_t(job)];
            Json frame = pictureFrame(j.path, length, j.placement.shiftX, j.placement.shiftY);
            frame["cloneHurt"] = -1;
            frames.push_back(frame);
        }
        return frames;
    }

    Json windFor(const MoveSpec& move, size_t index, const Pose& previous, const FrameSpec* previousFrame) {
        const FrameSpec& f = move.frames[index];
        if (f.wind == Wind::Glint) {
            return animationJson(move.name + " gleam " + std::to_string(index),
                                 windFrames({{glint(f.pose, 0.45f), 2}, {glint(f.pose, 1.0f), 3}, {glint(f.pose, 0.5f), 2}}),
                                 false);
        }
        if (f.wind != Wind::Trail) return nullptr;
        // Where the previous pose stood relative to the feet when this frame starts.
        float back = f.movement ? float(f.movement->x) : 0.0f;
        if (previousFrame && previousFrame->movementDelta) back += float(previousFrame->movementDelta->x * previousFrame->length);
        const Pose from = movedPose(previous, -back, 0);
        const Striker part = f.windPart != Striker::None ? f.windPart : f.striker;
        return animationJson(move.name + " wind " + std::to_string(index),
                             windFrames({{trail(from, f.pose, part, 1.0f), 2}, {trail(from, f.pose, part, 0.45f), 2}}), false);
    }

    Json frameJson(const FrameSpec& f, std::map<int, int>& ownPicture, std::map<int, int>& ownMask, int index) {
        Json j = Json::object();
        j["length"] = f.length;
        const bool hits = f.striker != Striker::None;
        const int b = body(f.pose, hits ? f.striker : Striker::None);
        const PictureJob& bj = reg.jobs[size_t(b)];
        const auto seen = ownPicture.find(b);
        if (seen != ownPicture.end()) {
            j["clone"] = seen->second;
        } else {
            ownPicture[b] = index;
            j["clone"] = -1;
            j["path"] = bj.path;
            j["shift"] = Json{{"x", bj.placement.shiftX}, {"y", bj.placement.shiftY}};
        }
        if (hits) {
            const int m = mask(b, f.pose, f.striker);
            const auto seenMask = ownMask.find(m);
            if (seenMask != ownMask.end()) {
                j["cloneHurt"] = seenMask->second;
            } else {
                ownMask[m] = index;
                j["cloneHurt"] = -1;
                const PictureJob& mj = reg.jobs[size_t(m)];
                j["hurtShift"] = Json{{"x", mj.placement.shiftX}, {"y", mj.placement.shiftY}};
            }
        } else {
            // Without this a frame would borrow frame 0's hit mask.
            j["cloneHurt"] = -1;
        }
        auto put = [&](const char* key, int value) {
            if (value != 0) j[key] = value;
        };
        put("damage", f.damage);
        put("damageType", f.damageType);
        put("damageSide", f.damageSide);
        put("stun", f.stun);
        put("shake", f.shake);
        put("sound", f.sound);
        put("canDoNext", f.canDoNext);
        put("needCatch", f.needCatch);
        put("catch", f.grab);
        put("damageCut", f.damageCut);
        put("movementDNeedCatch", f.movementDNeedCatch);
        if (f.movement) j["movement"] = stepJson(*f.movement, true);
        if (f.movementDelta) j["movementDelta"] = stepJson(*f.movementDelta, true);
        if (f.pushInstant) j["pushInstant"] = stepJson(*f.pushInstant, true);
        if (f.pushPower) j["pushPower"] = stepJson(*f.pushPower, true);
        if (f.pushPowerDelta) j["pushPowerDelta"] = stepJson(*f.pushPowerDelta, true);
        if (f.moveTargetTo) j["moveTargetTo"] = stepJson(*f.moveTargetTo, false);
        j["shadowShift"] = Json{{"x", 0}, {"y", -f.shadowLift}};
        return j;
    }

    Json animation(const MoveSpec& move, const Pose& previous, bool firstAttack) {
        Json a = Json::object();
        a["name"] = move.name;
        a["type"] = move.type;
        a["looped"] = move.looped ? 1 : 0;
        if (move.attack) a["attack"] = 1;
        if (move.recovery) a["recovery"] = move.recovery;
        if (move.comboEnd) a["comboEnd"] = 1;
        if (move.loopStart) a["loopStart"] = move.loopStart;
        Json frames = Json::array();
        Json wind = Json::array();
        bool anyWind = false;
        std::map<int, int> ownPicture, ownMask;
        // Forward distance travelled since the animation started, for the reach record.
        float travelled = 0;
        AttackReach reach{move.name, firstAttack, -100000, 100000};
        for (size_t i = 0; i < move.frames.size(); ++i) {
            const FrameSpec& f = move.frames[i];
            frames.push_back(frameJson(f, ownPicture, ownMask, int(i)));
            const Pose& prev = i == 0 ? previous : move.frames[i - 1].pose;
            Json w = windFor(move, i, prev, i == 0 ? nullptr : &move.frames[i - 1]);
            anyWind = anyWind || !w.is_null();
            wind.push_back(w);
            if (f.movement) travelled += float(f.movement->x);
            if (f.striker != Striker::None && f.damage > 0) {
                const int b = body(f.pose, f.striker);
                const int tip = int(std::floor(travelled)) + reg.jobs[size_t(mask(b, f.pose, f.striker))].front;
                reach.tip = std::max(reach.tip, tip);
                reach.nearest = std::min(reach.nearest, tip);
            }
            // A first attack's opening frame never gets its velocity (it is set by later frames).
            if (f.movementDelta && (i > 0 || !firstAttack)) travelled += float(f.movementDelta->x * f.length);
        }
        a["frames"] = frames;
        if (anyWind) a["frontWind"] = wind;
        if (reaches && reach.tip > -100000) reaches->push_back(reach);
        const Pose& last = move.frames.empty() ? previous : move.frames.back().pose;
        for (const MoveSpec& next : move.followUps) a[slotForType(next.type)] = animation(next, last, false);
        return a;
    }

    Json hitFrames() {
        Json list = Json::array();
        for (const FrameSpec& f : design.hit) {
            std::map<int, int> own, ownMask;
            list.push_back(frameJson(f, own, ownMask, 0));
        }
        return list;
    }

    // The whole class object; the pictures must have been drawn for the placements to be real.
    Json classJson(int reachStat) {
        Json c = Json::object();
        c["name"] = design.name;
        c["iconPath"] = "image/fighter/" + design.key + "/class.png";
        c["description"] = design.description;
        if (design.toBeAdded) c["toBeAdded"] = 1;
        const Pose& ready = design.ready;
        if (!design.toBeAdded) {
            c["idle"] = animation(design.idle, ready, false);
            c["moveFront"] = animation(design.moveFront, ready, false);
            c["moveBack"] = animation(design.moveBack, ready, false);
            for (const MoveSpec& attack : design.attacks) c[slotForType(attack.type)] = animation(attack, ready, true);
            c["death"] = animation(design.death, ready, false);
            c["spawn"] = animation(design.spawn, ready, false);
            c["jump"] = animation(design.jump, ready, false);
            c["land"] = animation(design.land, ready, false);
            Json others = Json::array();
            for (const MoveSpec& m : design.idleOther) others.push_back(animation(m, ready, false));
            c["idleOther"] = others;
        }
        StatSpec stat = design.stat;
        if (stat.reach == 0) stat.reach = reachStat;
        c["stat"] = statJson(stat);
        Json stances = Json::array();
        for (size_t i = 0; i < design.stances.size(); ++i) {
            const StanceSpec& s = design.stances[i];
            Json j = Json::object();
            j["id"] = int(i);
            j["name"] = s.name;
            j["modificator"] = statJson(s.modifier);
            j["material"] = s.materials;
            j["specialColor"] = s.specialColor;
            j["specialTransparency"] = s.specialTransparency;
            j["alternateColor"] = s.alternateColor;
            j["alternateTransparency"] = s.alternateTransparency;
            stances.push_back(j);
        }
        c["stance"] = stances;
        if (!design.toBeAdded) c["hit"] = hitFrames();
        int nextId = 1;
        numberAnimations(c, nextId);
        return c;
    }

    // Every animation of the class (an object with frames: slots, follow-ups, wind, other
    // idles) gets an id of its own, from 1, in the order of a walk through the class's keys:
    // the debug overlay names the animation playing by it.
    static void numberAnimations(Json& j, int& nextId) {
        if (j.is_object() && j.contains("frames") && j["frames"].is_array()) j["id"] = nextId++;
        if (j.is_object() || j.is_array())
            for (Json& member : j) numberAnimations(member, nextId);
    }
};

bool runPictureJob(PictureJob& job, const std::string& outDir) {
    const ClassDesign& d = *job.design;
    if (job.kind == PictureKind::ClassPicture) return job.ok = writeClassPicture(d, outDir + "/" + job.path + job.suffix);
    Picture pic;
    switch (job.kind) {
        case PictureKind::Body:
            pic = renderBodyPicture(d.build, job.pose);
            break;
        case PictureKind::Mask:
            pic = renderMaskPicture(d.build, job.pose, job.striker);
            break;
        case PictureKind::Trail:
            pic = renderTrailPicture(d.build, job.from, job.pose, job.striker, job.amount);
            break;
        case PictureKind::Glint:
            pic = renderGlintPicture(d.build, job.pose, job.amount);
            break;
        case PictureKind::ClassPicture:
            break;
    }
    job.placement = placementFor(pic.image.width, pic.feetU, pic.feetV);
    job.front = frontReach(pic);
    if (!placementFits(pic.image.width, pic.feetU)) {
        std::fprintf(stderr, "fighter picture %s does not fit the fighter box (width %d, feet at %d)\n", job.path.c_str(),
                     pic.image.width, pic.feetU);
        return false;
    }
    return job.ok = writePng(outDir + "/" + job.path + job.suffix, pic.image, PngMode::Alpha);
}

}  // namespace

const char* slotForType(int type) {
    switch (type) {
        case 4:
            return "neutral";
        case 5:
            return "side";
        case 6:
            return "back";
        case 7:
            return "up";
        case 8:
            return "down";
        case 9:
            return "heavy";
        default:
            return "none";
    }
}

Json statJson(const StatSpec& s) {
    Json j = Json::object();
    j["strength"] = s.strength;
    j["agility"] = s.agility;
    j["speed"] = s.speed;
    j["weight"] = s.weight;
    j["endurence"] = s.endurance;  // spelled as the game reads it
    j["life"] = s.life;
    j["cut"] = s.cut;
    j["pierce"] = s.pierce;
    j["blunt"] = s.blunt;
    j["reach"] = s.reach;
    j["difficulty"] = s.difficulty;
    return j;
}

StatSpec noModifier() {
    StatSpec s;
    s.strength = s.agility = s.speed = s.weight = s.endurance = s.life = 0;
    s.cut = s.pierce = s.blunt = 0;
    s.reach = 0;
    s.difficulty = 0;
    return s;
}

int reachStatFor(double averageTip) {
    // Every class must reach the 180..240 px window. A point of the statistic moves the bot's
    // distances by a tenth (30 px of its 300 px closing distance), so it stands for 20 px of
    // real reach around 2 at 210 px: a class that counted its 60 px window as four points would
    // start its attacks far beyond where they land.
    return std::clamp(int(std::floor(2 + (averageTip - 210) / 20 + 0.5)), 1, 5);
}

double mainReach(const std::vector<AttackReach>& reaches) {
    std::vector<int> tips;
    for (const AttackReach& r : reaches) {
        if (r.firstAttack) tips.push_back(r.tip);
    }
    if (tips.empty()) return 0;
    std::sort(tips.begin(), tips.end(), std::greater<int>());
    const size_t n = std::min<size_t>(4, tips.size());
    double sum = 0;
    for (size_t i = 0; i < n; ++i) sum += tips[i];
    return sum / double(n);
}

std::vector<BuiltClass> buildClasses(const std::vector<ClassDesign>& designs, const std::string& outDir, int threads,
                                     bool* ok) {
    Registry reg;
    bool good = true;
    for (const ClassDesign& d : designs) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(outDir) / "image" / "fighter" / d.key, error);
        if (error) {
            std::fprintf(stderr, "cannot create %s/image/fighter/%s: %s\n", outDir.c_str(), d.key.c_str(),
                         error.message().c_str());
            good = false;
        }
        PictureJob picture;
        picture.kind = PictureKind::ClassPicture;
        picture.design = &d;
        picture.path = "image/fighter/" + d.key + "/class";
        request(reg, d.key + "|class", picture);
        Walker walker{d, reg, nullptr};
        walker.classJson(0);  // registers every picture
    }

    std::atomic<size_t> next{0};
    std::atomic<bool> jobsOk{true};
    auto worker = [&]() {
        for (size_t i = next++; i < reg.jobs.size(); i = next++) {
            if (!runPictureJob(reg.jobs[i], outDir)) jobsOk = false;
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < std::max(1, threads); ++t) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
    good = good && jobsOk;

    std::vector<BuiltClass> out;
    for (const ClassDesign& d : designs) {
        BuiltClass built;
        Walker measure{d, reg, &built.reaches};
        measure.classJson(0);
        built.reachStat = reachStatFor(mainReach(built.reaches));
        Walker emit{d, reg, nullptr};
        built.classJson = emit.classJson(built.reachStat);
        out.push_back(std::move(built));
    }
    if (ok) *ok = good;
    return out;
}

// Fortune's sweep line for the planar Voronoi diagram.
//
// Index
//   1. Working records: sites, beach arcs, circle events, segments
//   2. Geometry: breakpoint of two parabolas, circle through three sites
//   3. The sweep: sites, arcs, circle events, finishing open edges
//   4. buildVoronoiCells
//
// The sweep line moves towards increasing x. The beach line is a doubly linked
// list of parabolic arcs ordered by increasing y of their breakpoints. All
// records of one run live in arenas and are released together when the run
// ends.
#include "sampling/voronoi.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <queue>

namespace {

// ---- 1. Working records ------------------------------------------------------

struct SitePoint {
  double x = 0, y = 0;
  int index = -1;  // position in the input arrays; -1 for computed points
};

struct CircleEvent;
struct VoronoiSegment;

struct BeachArc {
  SitePoint p;
  BeachArc* prev = nullptr;
  BeachArc* next = nullptr;
  CircleEvent* event = nullptr;  // pending event that would remove this arc
  VoronoiSegment* s0 = nullptr;  // traced by the breakpoint with prev
  VoronoiSegment* s1 = nullptr;  // traced by the breakpoint with next
};

struct CircleEvent {
  double x;  // sweep position at which it fires: rightmost point of the circle
  SitePoint centre;
  BeachArc* arc;
  bool valid;
};

struct VoronoiSegment {
  SitePoint start, end;
  bool done = false;
};

// The fixed box of the sweep; it does not depend on the input.
constexpr double kBoxX0 = -10000, kBoxY0 = -10000, kBoxX1 = 10000, kBoxY1 = 10000;

// Records of one run, allocated in large blocks that keep their addresses
// and are released together.
template <typename T>
class Arena {
 public:
  T* make() {
    if (used_ == kBlockSize || blocks_.empty()) {
      blocks_.push_back(std::make_unique<T[]>(kBlockSize));
      used_ = 0;
    }
    return &blocks_.back()[used_++];
  }

 private:
  static constexpr int kBlockSize = 4096;
  std::vector<std::unique_ptr<T[]>> blocks_;
  int used_ = 0;
};

// ---- 2. Geometry ----------------------------------------------------------------

// The y of the intersection of the parabolas of p0 and p1 (focus and
// directrix x = l); all that the search of the beach line needs.
double breakpointY(const SitePoint& p0, const SitePoint& p1, double l) {
  if (p0.x == p1.x) return (p0.y + p1.y) / 2;
  if (p1.x == l) return p1.y;
  if (p0.x == l) return p0.y;
  double z0 = 2 * (p0.x - l);
  double z1 = 2 * (p1.x - l);
  double a = 1 / z0 - 1 / z1;
  double b = -2 * (p0.y / z0 - p1.y / z1);
  double c = (p0.y * p0.y + p0.x * p0.x - l * l) / z0 - (p1.y * p1.y + p1.x * p1.x - l * l) / z1;
  return (-b - std::sqrt(b * b - 4 * a * c)) / (2 * a);
}

// The intersection point itself: its x from the parabola of p0, or of p1 when
// p0 lies on the directrix.
SitePoint breakpoint(const SitePoint& p0, const SitePoint& p1, double l) {
  SitePoint result;
  const SitePoint* p = (p0.x != p1.x && p1.x != l && p0.x == l) ? &p1 : &p0;
  const double y = breakpointY(p0, p1, l);
  result.y = y;
  result.x = (p->x * p->x + (p->y - y) * (p->y - y) - l * l) / (2 * p->x - 2 * l);
  return result;
}

// Centre o of the circle through a, b and c, and the sweep position x of its
// rightmost point. Fails unless the three make a right turn (and are not
// collinear).
bool circleThrough(const SitePoint& a, const SitePoint& b, const SitePoint& c, double& x,
                   SitePoint& o) {
  if ((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y) > 0) return false;
  double A = b.x - a.x, B = b.y - a.y, C = c.x - a.x, D = c.y - a.y;
  double E = A * (a.x + b.x) + B * (a.y + b.y);
  double F = C * (a.x + c.x) + D * (a.y + c.y);
  double G = 2 * (A * (c.y - b.y) - B * (c.x - b.x));
  if (G == 0) return false;
  o = SitePoint();
  o.x = (D * E - B * F) / G;
  o.y = (A * F - C * E) / G;
  x = o.x + std::sqrt((a.x - o.x) * (a.x - o.x) + (a.y - o.y) * (a.y - o.y));
  return true;
}

// ---- 3. The sweep ----------------------------------------------------------------

struct FiresLater {
  bool operator()(const CircleEvent* a, const CircleEvent* b) const { return a->x > b->x; }
};

class FortuneSweep {
 public:
  explicit FortuneSweep(int n) : cells_(n > 0 ? n : 0) {}

  std::vector<VoronoiCell> run(std::vector<SitePoint> sites) {
    // Sites leave smallest x first, then smallest y; the index only makes the
    // order of coincident sites reproducible.
    std::sort(sites.begin(), sites.end(), [](const SitePoint& a, const SitePoint& b) {
      if (a.x != b.x) return a.x < b.x;
      if (a.y != b.y) return a.y < b.y;
      return a.index < b.index;
    });
    size_t nextSite = 0;
    while (nextSite < sites.size()) {
      if (!events_.empty() && events_.top()->x <= sites[nextSite].x)
        processCircleEvent();
      else
        insertArc(sites[nextSite++]);
    }
    while (!events_.empty()) processCircleEvent();
    finishEdges();
    return std::move(cells_);
  }

 private:
  BeachArc* newArc(const SitePoint& p, BeachArc* prev, BeachArc* next) {
    BeachArc* arc = arcs_.make();
    arc->p = p;
    arc->prev = prev;
    arc->next = next;
    return arc;
  }

  VoronoiSegment* newSegment(const SitePoint& start) {
    VoronoiSegment* segment = segments_.make();
    segment->start = start;
    return segment;
  }

  // Does the horizontal line through p meet arc i, and where (z)? When the
  // caller walks the beach line it passes the breakpoint of i with its prev
  // if it has already computed it (the same call, so the same value).
  bool arcHit(const SitePoint& p, const BeachArc* i, SitePoint& z, const double* knownA,
              double& b) const {
    if (i->p.x == p.x) return false;
    double a = 0;
    if (i->prev) a = knownA ? *knownA : breakpointY(i->prev->p, i->p, p.x);
    b = 0;
    if (i->next) b = breakpointY(i->p, i->next->p, p.x);
    if ((!i->prev || a <= p.y) && (!i->next || p.y <= b)) {
      z = SitePoint();
      z.y = p.y;
      z.x = (i->p.x * i->p.x + (i->p.y - z.y) * (i->p.y - z.y) - p.x * p.x) /
            (2 * i->p.x - 2 * p.x);
      return true;
    }
    return false;
  }

  void insertArc(const SitePoint& p) {
    if (!root_) {
      root_ = newArc(p, nullptr, nullptr);
      return;
    }
    SitePoint z, unused;
    double previousB = 0, b = 0, ignored = 0;
    const BeachArc* previous = nullptr;  // previousB is its breakpoint with its next
    bool havePreviousB = false;
    for (BeachArc* i = root_; i; i = i->next) {
      bool computed = i->p.x != p.x;
      bool reuse = havePreviousB && i->prev == previous;
      if (arcHit(p, i, z, reuse ? &previousB : nullptr, b)) {
        BeachArc* copy;
        if (i->next && !arcHit(p, i->next, unused, nullptr, ignored)) {
          copy = newArc(i->p, i, i->next);
          i->next->prev = copy;
          i->next = copy;
        } else {
          // The old next arc, if any, drops out of the beach line.
          copy = newArc(i->p, i, nullptr);
          i->next = copy;
        }
        copy->s1 = i->s1;
        BeachArc* arc = newArc(p, i, copy);
        i->next = arc;
        copy->prev = arc;
        VoronoiSegment* first = newSegment(z);
        i->s1 = arc->s0 = first;
        VoronoiSegment* second = newSegment(z);
        arc->s1 = copy->s0 = second;
        checkCircleEvent(arc, p.x);
        checkCircleEvent(arc->prev, p.x);
        checkCircleEvent(arc->next, p.x);
        return;
      }
      havePreviousB = computed && i->next;
      previousB = b;
      previous = i;
    }
    BeachArc* last = root_;
    while (last->next) last = last->next;
    BeachArc* arc = newArc(p, last, nullptr);
    last->next = arc;
    SitePoint start;
    start.x = kBoxX0;
    start.y = (p.y + last->p.y) / 2;
    last->s1 = arc->s0 = newSegment(start);
  }

  void checkCircleEvent(BeachArc* i, double x0) {
    if (i->event && i->event->x != x0) i->event->valid = false;
    i->event = nullptr;
    if (!i->prev || !i->next) return;
    double x;
    SitePoint o;
    if (circleThrough(i->prev->p, i->p, i->next->p, x, o) && x > x0) {
      CircleEvent* event = eventStore_.make();
      *event = CircleEvent{x, o, i, true};
      i->event = event;
      events_.push(i->event);
    }
  }

  void processCircleEvent() {
    CircleEvent* e = events_.top();
    events_.pop();
    if (!e->valid) return;
    BeachArc* a = e->arc;
    VoronoiSegment* s = newSegment(e->centre);
    if (a->prev) {
      a->prev->next = a->next;
      a->prev->s1 = s;
    }
    if (a->next) {
      a->next->prev = a->prev;
      a->next->s0 = s;
    }
    // An arc with a valid event had both neighbours when the event was made.
    if (a->s0 && a->prev) finishSegment(a->s0, e->centre, a->p, a->prev->p);
    if (a->s1 && a->next) finishSegment(a->s1, e->centre, a->next->p, a->p);
    if (a->prev) checkCircleEvent(a->prev, e->x);
    if (a->next) checkCircleEvent(a->next, e->x);
  }

  // Ends segment s and records it in the cells of r (the arc after the
  // breakpoint) and l (the arc before it), in opposite directions.
  void finishSegment(VoronoiSegment* s, const SitePoint& end, const SitePoint& r,
                     const SitePoint& l) {
    if (s->done) return;
    s->end = end;
    s->done = true;
    float sx = static_cast<float>(s->start.x), sy = static_cast<float>(s->start.y);
    float ex = static_cast<float>(end.x), ey = static_cast<float>(end.y);
    if (r.index >= 0) cells_[r.index].append(VoronoiEdge{sx, sy, ex, ey});
    if (l.index >= 0) cells_[l.index].append(VoronoiEdge{ex, ey, sx, sy});
  }

  // Ends the edges still open where their breakpoint would be far beyond the
  // box.
  void finishEdges() {
    double l = kBoxX1 + (kBoxX1 - kBoxX0) + (kBoxY1 - kBoxY0);
    for (BeachArc* i = root_; i; i = i->next)
      if (i->next && i->s1) finishSegment(i->s1, breakpoint(i->p, i->next->p, 2 * l), i->next->p, i->p);
  }

  std::vector<VoronoiCell> cells_;
  BeachArc* root_ = nullptr;
  Arena<BeachArc> arcs_;
  Arena<CircleEvent> eventStore_;
  Arena<VoronoiSegment> segments_;
  std::priority_queue<CircleEvent*, std::vector<CircleEvent*>, FiresLater> events_;
};

}  // namespace

// ---- 4. buildVoronoiCells ---------------------------------------------------------

std::vector<VoronoiCell> buildVoronoiCells(const float* xs, const float* ys, int n) {
  std::vector<SitePoint> sites(n > 0 ? n : 0);
  for (int i = 0; i < n; ++i) {
    sites[i].x = xs[i];
    sites[i].y = ys[i];
    sites[i].index = i;
  }
  return FortuneSweep(n).run(std::move(sites));
}

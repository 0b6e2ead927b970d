#include "demogen/demoschedule.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "demogen/demorandom.h"
#include "model/contract/contract.h"

namespace kestrel::demo {

namespace {

constexpr uint16_t LS = 1u << ITEM_LUMP_SUM;
constexpr uint16_t FP = 1u << ITEM_FIXED_PRICE;
constexpr uint16_t CF = 1u << ITEM_COUNT_FIXED;
constexpr uint16_t ALT = 1u << ITEM_IS_ALTERNATE;
constexpr uint16_t OPT = 1u << ITEM_IS_OPTION;

// One item as the agency lists it. The description's part before the first
// ";" is what the short description is cut from; the whole text (with the
// ";" read as ",") is the long description.
struct ItemDef {
    const char* number;
    const char* unit;
    double quantity;
    double price;
    const char* description;
    uint16_t flags = 0;
    const char* alternate = nullptr;
};

struct SectionDef {
    const char* description;
    const char* alternate;
    std::vector<ItemDef> items;
};

// The resurfacing of a state route with the rehabilitation of one bridge:
// about 250 items in 18 sections, two of them alternates of each other.
std::vector<SectionDef> DemoSections()
{
    return {
        {"GENERAL ITEMS",
         nullptr,
         {
             {"109-01000", "LS", 1, 985000,
              "Mobilization; including bonds, insurance and move-in of equipment", LS},
             {"109-02000", "LS", 1, 42500, "Construction layout stakes; by the contractor's surveyor", LS},
             {"109-03100", "MO", 9, 3850, "Field office, Type B; furnished, equipped and maintained"},
             {"109-04000", "LS", 1, 118000, "Contractor quality control; plan, testing and records", LS},
             {"109-05000", "LS", 1, 12500, "Critical path progress schedule; with monthly updates", LS},
             {"109-06000", "DOLL", 150000, 1, "Force account work; paid as directed by the engineer", FP},
             {"109-06100", "DOLL", 45000, 1, "Fuel price adjustment; index-based, set by the agency", FP},
             {"109-06200", "DOLL", 60000, 1, "Asphalt binder price adjustment; index-based", FP},
             {"109-07000", "HR", 800, 0.8, "On-the-job training hours; trainee program", FP | CF},
             {"109-08000", "LS", 1, 9500, "Partnering workshop; facilitated, two sessions", LS | OPT, "OP1"},
             {"109-09000", "MGAL", 240, 38, "Water for dust control"},
             {"109-10000", "LS", 1, 26000, "Materials testing laboratory; on-site, certified", LS},
             {"109-11000", "EACH", 2, 4800, "Project identification sign"},
             {"109-12000", "LS", 1, 21000, "Preconstruction video survey of the route", LS},
         }},
        {"MAINTENANCE OF TRAFFIC",
         nullptr,
         {
             {"112-01000", "LS", 1, 465000, "Maintenance and protection of traffic; complete", LS},
             {"112-02000", "HR", 4200, 42.5, "Flaggers; certified"},
             {"112-03000", "DAY", 540, 95, "Portable changeable message sign"},
             {"112-03100", "DAY", 360, 38, "Arrow panel, Type C"},
             {"112-04000", "EACH", 420, 24, "Drums; Type III reflective sheeting"},
             {"112-04100", "EACH", 36, 145, "Barricade, Type III"},
             {"112-05000", "LF", 2400, 28.5, "Temporary concrete barrier; furnished and installed"},
             {"112-05100", "LF", 1800, 9.75, "Relocate temporary concrete barrier"},
             {"112-05200", "EACH", 4, 6800, "Temporary crash cushion; redirective"},
             {"112-06000", "LF", 68000, 0.42, "Temporary pavement marking, 4 in; tape or paint"},
             {"112-07000", "SF", 960, 18.5, "Temporary construction signs"},
             {"112-08000", "HR", 320, 78, "Uniformed law enforcement officer"},
             {"112-09000", "LS", 1, 38000, "Temporary traffic signal; bridge one-lane operation", LS},
             {"112-09100", "LS", 1, 14500, "Detour signing; Tuckahoe Valley Road detour", LS},
             {"112-10000", "HR", 260, 65, "Pilot car operation; with driver"},
             {"112-11000", "EACH", 6, 1150, "Portable rumble strip set; temporary"},
             {"112-12000", "DAY", 120, 210, "Truck mounted attenuator; with operator"},
         }},
        {"EROSION AND SEDIMENT CONTROL",
         nullptr,
         {
             {"209-01000", "LF", 7400, 3.15, "Silt fence; reinforced"},
             {"209-02000", "EACH", 46, 185, "Inlet protection; filter bag"},
             {"209-03000", "EACH", 22, 420, "Rock check dam"},
             {"209-04000", "AC", 6.5, 1450, "Temporary seeding and mulching"},
             {"209-05000", "SY", 5200, 2.85, "Erosion control blanket; Class 1, Type B"},
             {"209-06000", "LF", 180, 48, "Floating turbidity curtain"},
             {"209-07000", "EACH", 2, 6200, "Temporary sediment basin"},
             {"209-08000", "EACH", 3, 2850, "Stabilized construction entrance"},
             {"209-09000", "TON", 340, 62, "Riprap, Class II; for outlet protection"},
             {"209-10000", "LF", 240, 24, "Temporary slope drain, 12 in"},
             {"209-11000", "LS", 1, 16500, "Stormwater pollution prevention plan; inspections and reports",
              LS},
             {"209-12000", "TON", 28, 215, "Straw mulch"},
         }},
        {"REMOVAL ITEMS",
         nullptr,
         {
             {"202-01000", "SY", 3850, 9.5, "Remove pavement; asphalt or concrete, full depth"},
             {"202-02000", "LF", 2100, 6.25, "Remove curb and gutter"},
             {"202-03000", "LF", 5600, 3.4, "Remove guardrail; including posts and terminals"},
             {"202-04000", "LF", 620, 18, "Remove pipe; all sizes"},
             {"202-05000", "EACH", 48, 95, "Remove sign and post"},
             {"202-06000", "LF", 41000, 0.38, "Remove pavement marking; by grinding"},
             {"202-07000", "LF", 6200, 2.1, "Saw cut pavement; full depth"},
             {"202-08000", "LS", 1, 58000, "Clearing and grubbing", LS},
             {"202-09000", "EACH", 14, 780, "Remove inlet or manhole"},
             {"202-10000", "LF", 540, 42, "Remove bridge railing; Bridge No. 47-0183"},
             {"202-11000", "LF", 760, 14.5, "Remove concrete barrier"},
             {"202-12000", "LF", 1300, 3.75, "Remove fence"},
             {"202-13000", "EACH", 3, 2400, "Remove headwall"},
             {"202-14000", "LS", 1, 18500, "Remove existing bridge bearings and debris", LS},
         }},
        {"EARTHWORK",
         nullptr,
         {
             {"203-01000", "CY", 18600, 11.4, "Unclassified excavation"},
             {"203-02000", "CY", 6400, 16.8, "Borrow excavation; Type A"},
             {"203-03000", "CY", 9200, 6.9, "Embankment in place"},
             {"203-04000", "CY", 1250, 24, "Undercut excavation; and disposal"},
             {"203-05000", "SY", 8400, 2.3, "Geotextile for subgrade stabilization"},
             {"203-06000", "CY", 2900, 21.5, "Topsoil, salvaged and placed"},
             {"203-07000", "SY", 31000, 1.15, "Fine grading"},
             {"203-08000", "STA", 342, 145, "Shoulder grading; both sides"},
             {"203-09000", "LF", 11800, 2.8, "Ditch cleaning and reshaping"},
             {"203-10000", "TON", 3600, 26, "Select backfill; granular"},
             {"203-11000", "CY", 450, 58, "Rock excavation"},
             {"203-12000", "HR", 24, 210, "Proof rolling"},
             {"203-13000", "CY", 800, 48, "Structure backfill; granular"},
             {"203-14000", "SY", 2400, 6.5, "Subgrade stabilization; lime, 8 in"},
         }},
        {"DRAINAGE",
         nullptr,
         {
             {"603-01015", "LF", 420, 68, "15 in reinforced concrete pipe, Class III"},
             {"603-01018", "LF", 860, 78, "18 in reinforced concrete pipe, Class III", ALT, "B1A"},
             {"603-01024", "LF", 640, 96, "24 in reinforced concrete pipe, Class III", ALT, "B1A"},
             {"603-02018", "LF", 860, 64, "18 in corrugated polyethylene pipe, Type S", ALT, "B1B"},
             {"603-02024", "LF", 640, 82, "24 in corrugated polyethylene pipe, Type S", ALT, "B1B"},
             {"603-01030", "LF", 280, 128, "30 in reinforced concrete pipe, Class III"},
             {"603-01036", "LF", 160, 165, "36 in reinforced concrete pipe, Class IV"},
             {"603-05015", "EACH", 8, 920, "15 in flared end section"},
             {"603-05018", "EACH", 10, 1050, "18 in flared end section"},
             {"603-05024", "EACH", 6, 1380, "24 in flared end section"},
             {"603-05030", "EACH", 2, 1950, "30 in flared end section"},
             {"604-01000", "EACH", 18, 3450, "Inlet, Type A; precast"},
             {"604-02000", "EACH", 12, 4200, "Inlet, Type B; precast, with grate"},
             {"604-03000", "EACH", 4, 5600, "Inlet, Type C; median"},
             {"604-04000", "EACH", 6, 5200, "Manhole, 48 in diameter"},
             {"604-05000", "EACH", 22, 980, "Adjust inlet or manhole to grade"},
             {"605-01000", "LF", 5800, 14.2, "6 in perforated underdrain; with aggregate and fabric"},
             {"605-02000", "EACH", 24, 385, "Underdrain cleanout"},
             {"605-03000", "LF", 140, 165, "Trench drain; with cast iron grate"},
             {"605-04000", "LF", 3200, 3.9, "Video inspection of pipe"},
             {"605-05000", "EACH", 3, 7800, "Concrete headwall; cast in place"},
             {"605-06000", "SY", 880, 62, "Paved ditch; concrete"},
             {"605-07000", "EACH", 9, 640, "Underdrain outlet protector"},
             {"605-08000", "LF", 95, 215, "Jack and bore 24 in pipe"},
             {"605-09000", "CY", 120, 86, "Flowable fill; for abandoned pipes"},
             {"603-01042", "LF", 96, 215, "42 in reinforced concrete pipe, Class IV"},
             {"603-01048", "LF", 64, 268, "48 in reinforced concrete pipe, Class IV"},
             {"605-10000", "LF", 36, 1250, "Extend concrete box culvert, 6 ft x 4 ft"},
             {"605-11000", "EACH", 4, 1650, "Safety end treatment, 24 in; with grate"},
             {"605-12000", "EACH", 5, 540, "Connect to existing drainage structure"},
         }},
        {"BASE COURSES",
         nullptr,
         {
             {"304-01060", "SY", 9600, 14.8, "Aggregate base course, 6 in"},
             {"304-01080", "SY", 4200, 18.9, "Aggregate base course, 8 in"},
             {"304-02000", "TON", 5200, 27.5, "Crushed stone base; for widening"},
             {"306-01000", "SY", 2600, 31, "Cement treated base, 8 in"},
             {"307-01000", "SY", 14500, 6.4, "Full depth reclamation, 10 in; with cement"},
             {"307-02000", "TON", 1450, 95, "Portland cement for reclamation"},
             {"308-01000", "TON", 2800, 33, "Stabilized aggregate shoulder"},
             {"308-02000", "GAL", 5400, 4.1, "Prime coat"},
             {"304-03000", "TON", 900, 31, "Aggregate for shoulder wedge"},
             {"304-04000", "SY", 1800, 9.8, "Geogrid base reinforcement"},
             {"307-03000", "SY", 14500, 1.45, "Moisture control and compaction of reclaimed base"},
         }},
        {"ASPHALT PAVEMENT",
         nullptr,
         {
             {"410-01020", "SY", 96500, 2.35, "Milling asphalt pavement, 0 to 2 in"},
             {"410-01040", "SY", 18200, 3.85, "Milling asphalt pavement, 2 to 4 in"},
             {"401-01095", "TON", 12800, 86.5,
              "Superpave HMA surface course, 9.5 mm; PG 64-22, traffic level C"},
             {"401-01125", "TON", 9400, 79.25, "Superpave HMA intermediate course, 12.5 mm; PG 64-22"},
             {"401-01190", "TON", 6100, 72.4, "Superpave HMA base course, 19 mm; PG 64-22"},
             {"401-02000", "TON", 850, 165, "HMA base patching; full depth, hand placed"},
             {"401-03000", "GAL", 21500, 3.65, "Tack coat; non-tracking emulsion"},
             {"401-04000", "LF", 68400, 0.55, "Longitudinal joint density; incentive basis"},
             {"401-05000", "TON", 2300, 88, "HMA shoulders, 9.5 mm"},
             {"401-06000", "TON", 1750, 92, "HMA leveling course, 4.75 mm"},
             {"401-07000", "LF", 34200, 0.48, "Milled shoulder rumble strips"},
             {"401-08000", "LB", 14600, 2.95, "Crack sealing; hot-poured rubberized"},
             {"401-09000", "SY", 2200, 24.5, "Driveway and mailbox turnout paving"},
             {"401-10000", "TON", 12800, 9.75, "Stone matrix asphalt upgrade; surface course", OPT, "OP2"},
             {"401-11000", "SY", 600, 38, "HMA wedge and level at bridge approaches"},
             {"401-12000", "EACH", 12, 450, "Adjust valve box to grade"},
             {"401-13000", "LF", 2600, 4.6, "Notch wedge joint; with sealant"},
         }},
        {"CONCRETE PAVEMENT AND CURB",
         nullptr,
         {
             {"609-01000", "LF", 3400, 32.5, "Concrete curb and gutter, Type A"},
             {"609-02000", "LF", 900, 28, "Concrete curb, Type B; vertical"},
             {"608-01040", "SY", 1650, 62, "Concrete sidewalk, 4 in"},
             {"608-01060", "SY", 420, 78, "Concrete sidewalk, 6 in; at driveways"},
             {"608-02000", "EACH", 26, 2350, "ADA curb ramp; with landing"},
             {"608-03000", "SF", 520, 48, "Detectable warning surface; cast iron"},
             {"501-01100", "SY", 1200, 96, "Concrete pavement, 10 in; jointed, doweled"},
             {"609-03000", "SY", 380, 88, "Concrete median, 4 in"},
             {"608-04000", "SY", 640, 84, "Concrete driveway apron, 7 in"},
             {"609-04000", "LF", 260, 58, "Concrete barrier curb; at bridge approaches"},
             {"608-05000", "SY", 90, 145, "Stamped concrete median; colored"},
             {"609-05000", "LF", 180, 44, "Reset granite curb"},
             {"608-06000", "EACH", 4, 3100, "Concrete steps and handrail"},
         }},
        {"BRIDGE SUBSTRUCTURE - BRIDGE NO. 47-0183",
         nullptr,
         {
             {"503-01000", "LS", 1, 86000, "Cofferdams and dewatering; Pier 1 and Pier 2", LS},
             {"503-02000", "CY", 420, 68, "Structure excavation"},
             {"503-03000", "CY", 185, 1150, "Class A concrete, substructure"},
             {"503-04000", "LB", 26400, 1.95, "Epoxy coated reinforcing steel, substructure"},
             {"503-05000", "LF", 640, 92, "Steel H-piles, HP 12x53; driven"},
             {"503-05100", "EACH", 1, 18500, "Static pile load test"},
             {"503-06000", "EACH", 16, 7400, "Replace elastomeric bearing assembly"},
             {"503-06100", "LS", 1, 72000, "Jack and temporarily support superstructure", LS},
             {"503-07000", "SF", 860, 145, "Concrete repair, vertical and overhead surfaces; formed"},
             {"503-07100", "SF", 240, 185, "Concrete repair, overhead; hand applied"},
             {"503-08000", "TON", 620, 74, "Scour countermeasure riprap, Class III"},
             {"503-09000", "SF", 1100, 38, "Fiber reinforced polymer pier wrap"},
             {"503-10000", "SY", 160, 42, "Waterproofing membrane; abutment backwalls"},
             {"503-11000", "CY", 34, 1480, "Class A concrete, abutment backwall reconstruction"},
             {"503-12000", "EACH", 2, 9600, "Pile cap extension; Pier 1 and Pier 2"},
         }},
        {"BRIDGE SUPERSTRUCTURE - BRIDGE NO. 47-0183",
         nullptr,
         {
             {"504-01000", "SF", 2400, 68, "Deck repair, partial depth"},
             {"504-01100", "SF", 650, 115, "Deck repair, full depth"},
             {"504-02000", "CY", 412.5, 1385, "Class AA concrete, deck; for the widened spans"},
             {"504-03000", "LB", 78500, 1.88, "Epoxy coated reinforcing steel, superstructure"},
             {"504-04000", "LF", 186, 685, "Strip seal expansion joint; replacement"},
             {"504-05000", "LF", 540, 365, "Bridge railing, F-shape concrete; slipformed"},
             {"504-06000", "SY", 310, 245, "Reinforced concrete approach slab"},
             {"504-07000", "LB", 4800, 14.5, "Structural steel repair; heat-straightening and plates"},
             {"504-08000", "LS", 1, 248000, "Clean and paint existing structural steel; zinc system", LS},
             {"504-08100", "LS", 1, 64000, "Containment and disposal of paint waste", LS},
             {"504-09000", "EACH", 12, 1850, "Bridge deck drain; with downspout"},
             {"504-10000", "SY", 2150, 12.5, "Scarify bridge deck, 1/4 in"},
             {"504-11000", "SY", 2150, 38, "Hydrodemolition of deck surface, 3/4 in"},
             {"504-12000", "EACH", 4, 4600, "Bridge name plate and date stamp"},
             {"504-13000", "LS", 1, 15500, "Bridge deck survey and grade adjustment", LS},
         }},
        {"ALTERNATE A1A - LATEX MODIFIED CONCRETE OVERLAY",
         "A1A",
         {
             {"505-01000", "SY", 2150, 96, "Latex modified concrete overlay, 1-1/4 in"},
             {"505-02000", "CY", 38, 1650, "Latex modified concrete, additional volume"},
             {"505-03000", "SY", 2150, 9.5, "Deck surface preparation; shot blasting"},
             {"505-04000", "SY", 2150, 4.25, "Wet curing; burlap and polyethylene"},
             {"505-05000", "LF", 1100, 3.6, "Saw cut grooving of overlay"},
         }},
        {"ALTERNATE A1B - EPOXY POLYMER OVERLAY",
         "A1B",
         {
             {"506-01000", "SY", 2150, 72, "Multi-layer epoxy polymer overlay"},
             {"506-02000", "SY", 2150, 11.25, "Shot blasting; to CSP 5 profile"},
             {"506-03000", "SF", 420, 54, "Rapid-set patching before overlay"},
             {"506-04000", "SY", 2150, 6.8, "Aggregate broadcast, second layer"},
             {"506-05000", "EACH", 6, 850, "Bond test; pull-off, by the contractor"},
         }},
        {"GUARDRAIL AND BARRIER",
         nullptr,
         {
             {"606-01000", "LF", 6100, 24.5, "W-beam guardrail, 31 in; galvanized"},
             {"606-02000", "EACH", 14, 3650, "Guardrail end terminal; MASH TL-3"},
             {"606-03000", "EACH", 8, 1450, "Guardrail anchor; buried-in-backslope"},
             {"606-04000", "EACH", 4, 5800, "Thrie beam bridge approach transition"},
             {"606-05000", "LF", 1200, 8.5, "Adjust guardrail height"},
             {"606-06000", "LF", 420, 118, "Concrete median barrier, single slope"},
             {"606-07000", "EACH", 2, 28500, "Impact attenuator; redirective, MASH TL-3"},
             {"606-08000", "EACH", 210, 42, "Guardrail delineator"},
             {"606-09000", "LF", 2600, 19.5, "High-tension cable barrier, 4 cable", ALT, "C1A"},
             {"606-09100", "EACH", 4, 4200, "Cable barrier terminal", ALT, "C1A"},
             {"606-10000", "LF", 2600, 26, "W-beam median guardrail, double faced", ALT, "C1B"},
             {"606-10100", "EACH", 4, 3900, "Median guardrail end terminal", ALT, "C1B"},
             {"606-11000", "EACH", 6, 950, "Guardrail end anchor reset"},
             {"606-12000", "LF", 300, 45, "Guardrail on box culvert; surface mounted"},
         }},
        {"SIGNING",
         nullptr,
         {
             {"620-01000", "SF", 640, 26.5, "Ground mounted sign panel; Type XI sheeting"},
             {"620-02000", "EACH", 2, 68000, "Overhead sign structure, cantilever"},
             {"620-03000", "LF", 1150, 16.5, "Square tube sign post, 2-1/2 in"},
             {"620-04000", "EACH", 18, 620, "Breakaway base for sign post"},
             {"620-05000", "EACH", 42, 38, "Flexible delineator post"},
             {"620-06000", "EACH", 26, 185, "Relocate existing sign"},
             {"620-07000", "EACH", 14, 145, "Milepost marker"},
             {"620-08000", "SF", 220, 44, "Extruded aluminum sign panel"},
             {"620-09000", "EACH", 6, 2450, "Concrete foundation for sign support"},
             {"620-10000", "LS", 1, 8800, "Sign inventory and layout survey", LS},
             {"620-11000", "EACH", 4, 1850, "Dynamic speed display sign; solar"},
             {"620-12000", "EACH", 9, 320, "Object marker, Type 3"},
         }},
        {"PAVEMENT MARKING",
         nullptr,
         {
             {"630-01041", "LF", 68400, 0.62, "Thermoplastic pavement marking, 4 in white"},
             {"630-01042", "LF", 34800, 0.64, "Thermoplastic pavement marking, 4 in yellow"},
             {"630-01081", "LF", 3600, 1.45, "Thermoplastic pavement marking, 8 in white"},
             {"630-01241", "LF", 420, 9.5, "Thermoplastic stop bar, 24 in"},
             {"630-02000", "EACH", 36, 185, "Thermoplastic turn arrow"},
             {"630-03000", "EACH", 12, 240, "Thermoplastic word message, ONLY"},
             {"630-04000", "EACH", 980, 19.5, "Raised pavement marker, snowplowable"},
             {"630-05000", "LF", 2400, 5.2, "Thermoplastic crosswalk line, 12 in"},
             {"630-06000", "LF", 68400, 0.18, "Final surface preparation for markings"},
             {"630-07000", "LF", 103200, 0.32, "Epoxy pavement marking, 4 in; second application"},
             {"630-08000", "EACH", 8, 420, "Thermoplastic railroad crossing symbol"},
             {"630-09000", "LF", 12000, 0.95, "Wet reflective tape, 6 in; bridge and approaches"},
             {"630-10000", "EACH", 64, 26, "Recessed pavement marker; milled pocket"},
             {"630-11000", "SF", 380, 11.5, "Thermoplastic chevron and gore marking"},
             {"630-12000", "LF", 1400, 2.2, "Contrast marking, 4 in black"},
         }},
        {"LIGHTING AND SIGNALS",
         nullptr,
         {
             {"680-01000", "EACH", 24, 4250, "Light pole, 40 ft mounting height; aluminum"},
             {"680-02000", "EACH", 28, 1150, "LED luminaire, roadway, Type III"},
             {"680-03000", "LF", 4600, 18.5, "Conduit, 2 in Schedule 80; trenched"},
             {"680-04000", "EACH", 32, 920, "Pull box, Type B"},
             {"680-05000", "LF", 14200, 2.65, "Electrical cable, 3 #6 AWG"},
             {"681-01000", "EACH", 4, 36500, "Signal pole with mast arm, 45 ft"},
             {"681-02000", "EACH", 16, 1450, "Signal head, 3 section; LED, with backplate"},
             {"681-03000", "EACH", 1, 42000, "Traffic signal controller and cabinet"},
             {"681-04000", "EACH", 8, 3850, "Video vehicle detection unit"},
             {"681-05000", "EACH", 8, 1250, "Pedestrian signal head; countdown"},
             {"681-06000", "EACH", 2, 6800, "Electrical service; metered pedestal"},
             {"681-07000", "LS", 1, 9500, "Remove existing signal installation", LS},
             {"681-08000", "EACH", 8, 980, "Accessible pedestrian push button"},
             {"681-09000", "LS", 1, 14000, "Signal timing and system integration", LS},
             {"681-10000", "EACH", 2, 5400, "Emergency vehicle preemption detector"},
             {"680-05100", "EACH", 6, 2100, "Light pole foundation, drilled shaft"},
         }},
        {"LANDSCAPING AND RESTORATION",
         nullptr,
         {
             {"650-01000", "AC", 14.5, 2650, "Permanent seeding; Type A mix"},
             {"650-02000", "SY", 3800, 7.25, "Sod; placed and watered"},
             {"650-03000", "TON", 42, 210, "Mulch for permanent seeding"},
             {"650-04000", "EACH", 64, 385, "Deciduous tree, 2 in caliper"},
             {"650-05000", "EACH", 140, 68, "Shrub, 24 in container"},
             {"650-06000", "TON", 6.5, 780, "Fertilizer, 10-20-10"},
             {"650-07000", "CY", 1600, 32, "Topsoil, furnished"},
             {"650-08000", "MGAL", 180, 42, "Watering of plantings"},
             {"650-09000", "LS", 1, 18500, "Turf establishment; two growing seasons", LS},
             {"650-10000", "LF", 1300, 21, "Woven wire fence; right-of-way"},
             {"650-11000", "EACH", 4, 650, "Field gate, 12 ft"},
             {"650-12000", "SY", 1500, 3.4, "Wildflower seeding; native mix"},
         }},
    };
}

// "0010", "0020", ...: item line numbers step by ten across the contract.
std::string LineNumber(int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.4d", n);
    return buf;
}

std::string ToUpperAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Short descriptions are the agency's upper-case abbreviation of at most
// 24 characters (the width the item lists give them), cut at a word.
std::string ShortDescription(const std::string& description)
{
    static const std::pair<const char*, const char*> kAbbreviations[] = {
        {"REINFORCED CONCRETE PIPE", "RCP"},
        {"CORRUGATED POLYETHYLENE PIPE", "CPE PIPE"},
        {"HOT MIX ASPHALT", "HMA"},
        {"SUPERPAVE ", "SP "},
        {"PAVEMENT MARKING", "PM"},
        {"MILLING ASPHALT", "MILL ASPHALT"},
        {"0 TO 2 IN", "0-2 IN"},
        {"2 TO 4 IN", "2-4 IN"},
        {"ELASTOMERIC BEARING ASSEMBLY", "ELASTO BRG ASSY"},
        {"EXPANSION JOINT", "EXP JT"},
        {"SHOULDER RUMBLE STRIPS", "SHLDR RUMBLE STRP"},
        {"VERTICAL AND OVERHEAD SURFACES", "VERT & OVHD"},
        {"WITH MAST ARM", "W/ MAST ARM"},
        {"TRAFFIC SIGNAL CONTROLLER AND CABINET", "SIGNAL CTRLR & CABINET"},
        {"SCHEDULE 80", "SCH 80"},
        {"REINFORCING STEEL", "REBAR"},
        {"EPOXY COATED", "EPOXY"},
        {"LATEX MODIFIED CONCRETE", "LMC"},
        {"CONTROLLER", "CTRLR"},
        {"CONCRETE", "CONC"},
        {"ASPHALT", "ASPH"},
        {"PAVEMENT", "PVMT"},
        {"TEMPORARY", "TEMP"},
        {"THERMOPLASTIC", "THERMO"},
        {"REINFORCING", "REINF"},
        {"STRUCTURAL", "STRUCT"},
        {"STRUCTURE", "STRUCT"},
        {"INTERMEDIATE", "INTERM"},
        {"EXCAVATION", "EXC"},
        {"MAINTENANCE", "MAINT"},
        {"CONSTRUCTION", "CONSTR"},
        {"PROTECTION", "PROT"},
        {"SURFACE", "SURF"},
        {"COURSE", "CRS"},
        {"AGGREGATE", "AGG"},
        {"GUARDRAIL", "GR"},
        {"INSTALLATION", "INST"},
        {"EXISTING", "EXIST"},
        {"DIAMETER", "DIA"},
        {"REPLACEMENT", "REPL"},
        {"SUPERSTRUCTURE", "SUPERSTR"},
        {"SUBSTRUCTURE", "SUBSTR"},
        {"LABORATORY", "LAB"},
        {"ADJUSTMENT", "ADJ"},
        {"PEDESTRIAN", "PED"},
        {"ELECTRICAL", "ELEC"},
        {"CONTROL", "CTRL"},
        {"PORTABLE", "PORT"},
        {"CHANGEABLE", "CHG"},
        {"MESSAGE", "MSG"},
        {"TRANSITION", "TRANS"},
        {"TERMINAL", "TERM"},
        {"ATTENUATOR", "ATTEN"},
        {"DETECTION", "DET"},
        {"VEHICLE", "VEH"},
        {"PREPARATION", "PREP"},
        {"FOUNDATION", "FDN"},
        {"CERTIFIED", "CERT"},
        {" AND ", " & "},
        {" INCH", " IN"},
    };
    std::string s = ToUpperAscii(description.substr(0, description.find(';')));
    for (const auto& [from, to] : kAbbreviations)
        for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + std::strlen(to)))
            s.replace(p, std::strlen(from), to);
    if (s.size() <= 24)
        return s;
    size_t cut = s.rfind(' ', 24);
    if (cut == std::string::npos || cut < 10)
        cut = 24;
    s.resize(cut);
    while (!s.empty() && (s.back() == ',' || s.back() == ' '))
        s.pop_back();
    return s;
}

std::string LongDescription(const std::string& description)
{
    std::string s = description;
    for (size_t p = s.find(';'); p != std::string::npos; p = s.find(';', p))
        s[p] = ',';
    return s;
}

CItem* AddHeading(CContract& c, int section, const char* description, const char* alternate)
{
    CItem* h = c.m_Items.Add();
    FlagSet(h->m_wFlags, ITEM_SECTION, 1);
    h->m_strLineNumber = LineNumber(section);
    h->m_strAltCode = alternate ? Text(alternate) : Text("");
    if (alternate)
        FlagSet(h->m_wFlags, ITEM_IS_ALTERNATE, 1);
    h->m_strItemNumber = "";
    h->m_strUnit = "";
    h->m_fQuantity = 0;
    h->m_fUnitPrice = 0;
    h->m_strShortDesc = "";
    h->m_strLongDesc = description;
    return h;
}

void AddItem(CContract& c, int line, const ItemDef& def)
{
    CItem* it = c.m_Items.Add();
    it->m_wFlags = def.flags;
    it->m_strLineNumber = LineNumber(line);
    it->m_strAltCode = def.alternate ? def.alternate : "";
    it->m_strItemNumber = def.number;
    it->m_strUnit = def.unit;
    it->m_fQuantity = def.quantity;
    it->m_fUnitPrice = def.price;
    it->m_strShortDesc = ShortDescription(def.description);
    it->m_strLongDesc = LongDescription(def.description);
}

void AddCounty(CContract& c, const char* id, const char* name)
{
    CCounty* k = c.m_Counties.Add();
    k->m_strID = id;
    k->m_strName = name;
}

void AddSite(CContract& c, uint32_t start, uint32_t end, uint32_t days, double damages, const char* typeDays,
             const char* description)
{
    CSite* s = c.m_Sites.Add();
    s->m_dStartDate = start;
    s->m_dEndDate = end;
    s->m_dwEstDays = days;
    s->m_fDamages = damages;
    s->m_strTypeDays = typeDays;
    s->m_strDescription = description;
}

void AddNote(CContract& c, int a, int b, const char* text)
{
    CNote* n = c.m_Notes.Add();
    n->m_iNumberA = a;
    n->m_iNumberB = b;
    n->m_strText = text;
}

} // namespace

uint32_t DemoDate(int year, int month, int day, int hour, int minute)
{
    // Days from the civil calendar, proleptic Gregorian, 1970-01-01 = 0.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days = static_cast<long>(era) * 146097 + doe - 719468;
    return static_cast<uint32_t>(days * 86400 + hour * 3600 + minute * 60);
}

void FillDemoHeader(CContract& c)
{
    FlagSet(c.m_wFlags, CONTRACT_SHOW_ITEMS, 1);
    FlagSet(c.m_wFlags, CONTRACT_DRAG_TIERS, 1);
    FlagSet(c.m_wFlags, CONTRACT_IRONBARK_LOCKED, 1);
    FlagSet(c.m_wFlags, CONTRACT_IRONBARK_FLOOR, 1);
    FlagSet(c.m_wFlags, CONTRACT_HAS_MISC, 1);
    FlagSet(c.m_wFlags, CONTRACT_TRACK_PRICES, 1);
    c.m_iHeaderA = 1;
    c.iAmendCount = 0;
    // The 1-based column of a vendor list entry at which the vendor's
    // work-type codes begin. The contract has no field of that name; the
    // agency's files carry it in header number B, whose default of -1 reads
    // as "no work-type codes", and the subcontractor form reads it there.
    c.m_iHeaderB = 72;
    c.dLetingDate = DemoDate(2026, 3, 12, 14, 0);
    c.dDateGenerated = DemoDate(2026, 2, 2, 9, 30);
    c.m_dDateRevised = DemoDate(2026, 2, 20, 16, 15);

    c.m_strHeader[HDR_LETTING_ID] = "L260312";
    c.m_strHeader[HDR_CALL_ORDER] = "017";
    c.m_strHeader[HDR_CONTRACT_ID] = "C24-0471-01";
    c.m_strHeader[HDR_ALTERNATE_CONTRACT_ID] = "B24-0183\nC24-0471";
    c.m_strHeader[HDR_CONTRACT_LOCATION] = "District 4";
    c.m_strHeader[HDR_CONTRACT_DESCRIPTION] =
        "Resurfacing of State Route 47 from 0.3 mile south of County Road 612 to the Merrick County line "
        "(6.55 miles), and rehabilitation of Bridge No. 47-0183 over Tuckahoe Creek: deck repair and "
        "overlay, bearing replacement, substructure repair, guardrail upgrades, drainage, signing, "
        "lighting, signals and pavement marking.";
    c.m_strHeader[HDR_CONTRACT_TYPE] = "RESF";
    c.m_strHeader[HDR_CONTRACT_TYPE2] = "BRDG";
    c.m_strHeader[HDR_HIGHWAY_NUMBER] = "SR47";
    c.m_strHeader[HDR_CONTROLLING_PROJECT] = "STP-0047(112)";
    c.m_strHeader[HDR_CONTROLLING_ROUTE] = "SR 47";
    c.m_strHeader[HDR_FUND_TYPE] = "FED";
    c.m_strHeader[HDR_PROJECT_NUMBER] = "STP-0047(112)\nBR-0047(113)\nHSIP-0047(114)";
    c.m_strHeader[HDR_ROAD_NAME] = "Tuckahoe Valley Road\nMill Street";
    c.m_strHeader[HDR_ROUTE] = "SR 47\nCR 612";
    c.m_strHeader[HDR_SERIAL_NUMBER] = "0471-2026-003";
    c.m_strHeader[HDR_AGENCY] = "State Department of Transportation";
    c.m_strPrimeID = "P04417";
    c.m_strPrimeName = "Harrow & Lane Construction Co.";

    // Quantities 9.3, unit prices 8.5, extensions 9.2.
    c.m_QuanFormat = {9, 3};
    c.m_UPFormat = {8, 5};
    c.m_ExtFormat = {9, 2};
    c.m_iPrintNumber = {1, 0, 0};

    AddCounty(c, "041", "Harlan");
    AddCounty(c, "057", "Merrick");
    AddCounty(c, "063", "Tuckahoe");

    AddSite(c, DemoDate(2026, 5, 4), DemoDate(2026, 11, 20), 140, 2850, "Working Days",
            "SR 47 roadway, MP 12.40 to 18.95");
    AddSite(c, DemoDate(2026, 5, 18), DemoDate(2026, 12, 18), 215, 4200, "Calendar Days",
            "Bridge 47-0183 over Tuckahoe Creek");
    AddSite(c, DemoDate(2026, 6, 1), DemoDate(2026, 7, 15), 45, 1500, "Calendar Days",
            "Interim: detour removed");

    AddNote(c, 1, 100, "Bidders must be prequalified in work classes A (asphalt) and B (bridges).");
    AddNote(c, 2, 200,
            "The Disadvantaged Business Enterprise goal for this contract is 11.0 percent of the bid "
            "total.");
    AddNote(c, 3, 300, "Work in Tuckahoe Creek is restricted from March 15 to June 30 (fish spawning).");
    AddNote(c, 4, 400, "Alternate A1A or A1B: the lower alternate section total is used to compare bids.");

    COtherRpt* r = c.m_OtherRpts.Add();
    r->m_wReportNumber = 1;
    r->m_strFirst = "Schedule of Prices";
    r->m_strSecond = "SOP";
    r = c.m_OtherRpts.Add();
    r->m_wReportNumber = 2;
    r->m_strFirst = "DBE Commitment";
    r->m_strSecond = "DBE";
}

void FillDemoSchedule(CContract& c)
{
    int section = 1;
    int line = 10;
    for (const SectionDef& s : DemoSections()) {
        AddHeading(c, section++, s.description, s.alternate);
        for (const ItemDef& item : s.items) {
            AddItem(c, line, item);
            line += 10;
        }
    }
}

void FillLargeSchedule(CContract& c, int items)
{
    // The demo's items again and again, in sections of 40, with quantities
    // varied so that no two sections are alike.
    std::vector<ItemDef> pool;
    for (const SectionDef& s : DemoSections())
        for (const ItemDef& item : s.items)
            if (!(item.flags & (ALT | OPT)))
                pool.push_back(item);
    DemoRandom rng(47);
    // Lines step by ten while four digits hold them all, else by one.
    const int step = items * 10 < 10000 ? 10 : 1;
    int line = step;
    int section = 1;
    for (int n = 0; n < items; ++n) {
        if (n % 40 == 0) {
            char desc[64];
            std::snprintf(desc, sizeof desc, "SCHEDULE PART %d", section);
            AddHeading(c, section++, desc, nullptr);
        }
        ItemDef item = pool[static_cast<size_t>(n) % pool.size()];
        item.quantity = RoundValue(item.quantity * (0.5 + rng.Uniform()), item.unit[0] == 'L' ? 0 : 1);
        if (item.flags & LS)
            item.quantity = 1;
        AddItem(c, line, item);
        line += step;
    }
}

} // namespace kestrel::demo

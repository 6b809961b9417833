#include "tables/columns.h"

#include <QStringList>

namespace columns {

namespace {

const QString ridges = QStringLiteral("ridges");
const QString millimetres = QStringLiteral("mm");
const QString count = QStringLiteral("count");
const QString flag = QStringLiteral("0/1");
const QString notAnnotated =
    QStringLiteral("Empty for a finger that is not annotated (no core, triradius or pattern).");
const QString allAnnotated =
    QStringLiteral("Empty unless all ten fingers are annotated (see fingers_annotated).");
const QString allClassified =
    QStringLiteral("Empty unless all ten fingers have a pattern (see fingers_classified).");

// The identifiers that begin both tables.
void identify(QVector<Column>& c)
{
    c[Set] = {"set", "", "The set file's name without its folder.",
              "The same from the window's export and the command line. Sets of one name in "
              "different folders share it (the command line warns); subject tells them apart. "
              "Empty for a set never saved."};
    c[Path] = {"path", "",
               "The set file as named on the command line; in the window's export, where it "
               "was saved.", "Empty for a set never saved."};
    c[Subject] = {"subject", "", "Whose prints these are, from File > Set details.",
                  "Empty when not given."};
    c[Examiner] = {"examiner", "", "Who annotated the set, from File > Set details.",
                   "Empty when not given."};
    c[Date] = {"date", "", "The date from File > Set details, as typed (YYYY-MM-DD suggested).",
               "Empty when not given."};
}

QVector<Column> printTable()
{
    QVector<Column> c(PrintCount);
    identify(c);
    c[Slot] = {"slot", "", "The print: L1 to L5, R1 to R5, LPalm, RPalm.",
               "Every set has its twelve rows; a slot without image has no value beyond its "
               "identifiers."};
    c[Hand] = {"hand", "", "L or R.", ""};
    c[Digit] = {"digit", "",
                "1 thumb, 2 index, 3 middle, 4 ring, 5 little finger.", "Empty for a palm."};
    c[Image] = {"image", "", "The scan's file name as the set names it.", ""};
    c[XPpi] = {"xppi", "pixels per inch", "The scan's resolution across.",
               "Empty when unknown or invalid (not a whole number above 0); the command line "
               "warns."};
    c[YPpi] = {"yppi", "pixels per inch", "The scan's resolution down.", "As xppi."};
    c[Cores] = {"cores", count, "Cores marked.", notAnnotated};
    c[Triradii] = {"triradii", count, "Triradii marked.", notAnnotated};
    c[Pattern] = {"pattern", "",
                  "The pattern type chosen in the finger panel: plain arch, tented arch, ulnar "
                  "loop, radial loop, plain whorl, central pocket loop, double loop or "
                  "accidental.", "Empty when not classified."};
    c[RcCc] = {"rc_cc", ridges, "Ridge count between two cores.", "Only with exactly two cores."};
    c[RcCt1] = {"rc_ct1", ridges, "Ridge count from a core to the leftmost triradius.",
                "ct1 and ct2 follow the triradii from left to right as the print is shown "
                "(turned and mirrored as in the editor), whatever side of the hand that is: "
                "one core is counted to each triradius; with two cores and two triradii the "
                "left core to the left triradius and the right core to the right one. Empty "
                "where there is no such line."};
    c[RcCt2] = {"rc_ct2", ridges, "Ridge count from a core to the second triradius from the left.",
                "As rc_ct1."};
    const QString side =
        "In a print as taken, the ulnar side of a right-hand print is on the viewer's right and "
        "that of a left-hand print on the viewer's left; a mirrored print swaps them. Of two "
        "counts the first (rc_ct1) is on the viewer's left; a single count is on the side of "
        "its core where its triradius lies. Empty where no count lies on that side, also for a "
        "single count whose triradius is straight above or below its core.";
    c[RcRadial] = {"rc_radial", ridges,
                   "Core-triradius ridge count on the triradius of the radial side.", side};
    c[RcUlnar] = {"rc_ulnar", ridges,
                  "Core-triradius ridge count on the triradius of the ulnar side.", side};
    c[RcMax] = {"rc_max", ridges, "The larger of rc_ct1 and rc_ct2, or the one there is.",
                "What tfrc sums. Empty without a core-triradius line."};
    c[Crease] = {"crease", flag, "Whether the flexion crease outline gives an axis.",
                 "0 for an annotated finger without one; empty for a finger that is not "
                 "annotated and has none."};
    const QString distance = "Along the perpendicular to the crease axis. Needs the axis and "
                             "both resolutions; empty otherwise.";
    c[Core1Crease] = {"core1_crease_mm", millimetres,
                      "Distance of the leftmost core from the crease.", distance};
    c[Core2Crease] = {"core2_crease_mm", millimetres,
                      "Distance of the second core from the left from the crease.", distance};
    c[Triradius1Crease] = {"triradius1_crease_mm", millimetres,
                           "Distance of the leftmost triradius from the crease.", distance};
    c[Triradius2Crease] = {"triradius2_crease_mm", millimetres,
                           "Distance of the second triradius from the left from the crease.",
                           distance};
    const QString ticked = "Unticked is 0. " + notAnnotated;
    c[FlexionRadial] = {"flexion_radial", flag, "The crease's radial edge is present.", ticked};
    c[FlexionUlnar] = {"flexion_ulnar", flag, "The crease's ulnar edge is present.", ticked};
    c[ExtralimitalRadial] = {"extralimital_radial", flag,
                             "A radial extralimital triradius is present.", ticked};
    c[ExtralimitalUlnar] = {"extralimital_ulnar", flag,
                            "An ulnar extralimital triradius is present.", ticked};
    const QString asked = "Empty where the panel does not ask it for the print's cores and "
                          "triradii, or the examiner chose no entry.";
    c[Rotation1] = {"rotation1", "",
                    "How the inner central line turns (two cores, two triradii): clockwise, "
                    "counter clockwise or concentric.", asked};
    c[Rotation2] = {"rotation2", "", "How the outer central line turns (two cores, two triradii).",
                    asked};
    c[Rotation3] = {"rotation3", "", "How the central line turns (one core, two triradii).",
                    asked};
    c[Termination1] = {"termination1", "",
                       "Where the radial core's central line ends (two cores): radial side or "
                       "ulnar side.", asked};
    c[Termination2] = {"termination2", "", "Where the ulnar core's central line ends (two cores).",
                       asked};
    c[Termination3] = {"termination3", "", "Where the central line ends (one core).", asked};
    c[PalmTriradii] = {"palm_triradii", "",
                       "The triradii placed, joined by \".\": a, b, c, d, t, cd, a1, b1, c1, d1, "
                       "tb, t1, t2, t3, o1, o2, o3.", "Empty for a palm without one."};
    const QString palmLine = "Empty where either triradius is not placed.";
    c[RcAb] = {"rc_ab", ridges, "Ridge count a-b.", palmLine};
    c[RcBc] = {"rc_bc", ridges, "Ridge count b-c, or b-cd where cd is placed.", palmLine};
    c[RcCd] = {"rc_cd", ridges, "Ridge count c-d.", palmLine + " Empty where cd is placed."};
    c[RcDt] = {"rc_dt", ridges,
               "Ridge count from d (or cd) to the first placed axial triradius of t, tb, t1, "
               "t2, t3.", palmLine};
    c[Atd] = {"atd", "degrees",
              "The angle at that axial triradius between the rays to a and to d (or cd), 0 to "
              "180, two decimals.", "Empty without a, d (or cd) and an axial triradius."};
    c[PalmFormula] = {"palm_formula", "",
                      "Main lines D.C.B.A.T (a dual line as first/second code), the axial "
                      "triradii ticked present, then hypothenar.thenar areas (a second area "
                      "after /) and the interdigital areas I1.I2.I3.I4: "
                      "D.C.B.A.T-axial-H.Th:I1.I2.I3.I4.",
                      "Empty while the palm panel has a main line or pattern area that the "
                      "examiner has not answered (the second hypothenar and thenar areas count "
                      "as answered with \"not available\")."};
    const QString index =
        "The main line index: the value of line A's termination plus that of line D's. Codes "
        "1 to 4 count as written, 5' as 5, 5'' as 6, 6 to 12 as 1 to 7 (6 is 1, 12 is 7), 13' "
        "and 13'' as 8; a line ending at 0 or X counts 7 for A and 1 for D.";
    const QString indexRule = "Empty while line A or D is unanswered";
    c[MliA1D1] = {"mli_a1d1", "", index + " First terminations of A and D.", indexRule + "."};
    c[MliA1D2] = {"mli_a1d2", "", "As mli_a1d1, with D's second termination.",
                  indexRule + ", and unless D is dual."};
    c[MliA2D1] = {"mli_a2d1", "", "As mli_a1d1, with A's second termination.",
                  indexRule + ", and unless A is dual."};
    c[MliA2D2] = {"mli_a2d2", "", "As mli_a1d1, with the second terminations of both.",
                  indexRule + ", and unless both are dual."};
    return c;
}

QVector<Column> summaryTable()
{
    QVector<Column> c(SummaryCount);
    identify(c);
    c[SetFingersAnnotated] = {"fingers_annotated", count,
                              "Fingers with a core, a triradius or a pattern.", ""};
    c[SetPii] = {"pii", count,
                 "Pattern intensity index: the triradii marked on the ten fingers, at most two "
                 "a finger (arch 0, loop 1, whorl 2). A tented arch counts the triradius marked "
                 "on it, 1, or 0 without one.", allAnnotated};
    c[SetTfrc] = {"tfrc", ridges,
                  "Total finger ridge count: the sum of the larger count of each finger "
                  "(rc_max; an arch counts 0).", allAnnotated};
    c[SetAfrc] = {"afrc", ridges,
                  "Absolute finger ridge count: the sum of all core-triradius counts of the ten "
                  "fingers (rc_ct1 + rc_ct2); core-core counts are not in it.", allAnnotated};
    c[SetLeftAb] = {"left_ab", ridges, "rc_ab of LPalm.", "As rc_ab."};
    c[SetRightAb] = {"right_ab", ridges, "rc_ab of RPalm.", "As rc_ab."};
    c[SetLeftAtd] = {"left_atd", "degrees", "atd of LPalm.", "As atd."};
    c[SetRightAtd] = {"right_atd", "degrees", "atd of RPalm.", "As atd."};
    c[SetLeftFormula] = {"left_palm_formula", "", "palm_formula of LPalm.", "As palm_formula."};
    c[SetRightFormula] = {"right_palm_formula", "", "palm_formula of RPalm.",
                          "As palm_formula."};
    c[SetFingersClassified] = {"fingers_classified", count, "Fingers with a pattern.", ""};
    c[SetArches] = {"arches", count, "Plain and tented arches.", allClassified};
    c[SetUlnarLoops] = {"ulnar_loops", count, "Ulnar loops.", allClassified};
    c[SetRadialLoops] = {"radial_loops", count, "Radial loops.", allClassified};
    c[SetWhorls] = {"whorls", count,
                    "Plain whorls, central pocket loops, double loops and accidentals.",
                    allClassified};
    return c;
}

QVector<Column> subjectTable()
{
    QVector<Column> c(SubjectCount);
    identify(c);
    const QStringList slots = {"L1", "L2", "L3", "L4", "L5", "R1", "R2", "R3", "R4", "R5"};
    const QString fingerCount =
        "An annotated finger without a core-triradius line (an arch) counts 0, as in tfrc.";
    for (int d = 0; d < 10; ++d) {
        const QString slot = slots.at(d);
        const int at = SubjectDigits + d * digitValues;
        c[at] = {slot + "_pattern", "", "pattern of " + slot + ".", "As pattern."};
        c[at + 1] = {slot + "_rc_max", ridges, "rc_max of " + slot + ".",
                     fingerCount + " Empty for a finger that is not annotated."};
        c[at + 2] = {slot + "_rc_radial", ridges, "rc_radial of " + slot + ".", "As rc_radial."};
        c[at + 3] = {slot + "_rc_ulnar", ridges, "rc_ulnar of " + slot + ".", "As rc_ulnar."};
    }
    const QString hands[2] = {"left", "right"};
    const QString handRule[2] = {"Empty unless L1 to L5 are annotated.",
                                 "Empty unless R1 to R5 are annotated."};
    const QString groupRule[2] = {"Empty unless L1 to L5 have a pattern.",
                                  "Empty unless R1 to R5 have a pattern."};
    for (int h = 0; h < 2; ++h) {
        const int at = SubjectHands + h * handValues;
        c[at] = {hands[h] + "_trc", ridges,
                 "Total ridge count of the " + hands[h] + " hand: the sum of its five rc_max.",
                 fingerCount + " " + handRule[h]};
        c[at + 1] = {hands[h] + "_arches", count, "Plain and tented arches of the hand.",
                     groupRule[h]};
        c[at + 2] = {hands[h] + "_loops", count, "Ulnar and radial loops of the hand.",
                     groupRule[h]};
        c[at + 3] = {hands[h] + "_whorls", count,
                     "Plain whorls, central pocket loops, double loops and accidentals of the "
                     "hand.", groupRule[h]};
    }
    c[SubjectPii] = {"pii", count, "As pii of the set table.", allAnnotated};
    const QString palms[2] = {"LPalm", "RPalm"};
    for (int h = 0; h < 2; ++h) {
        const int at = SubjectPalms + h * palmValues;
        c[at] = {hands[h] + "_ab", ridges, "rc_ab of " + palms[h] + ".", "As rc_ab."};
        c[at + 1] = {hands[h] + "_bc", ridges, "rc_bc of " + palms[h] + ".", "As rc_bc."};
        c[at + 2] = {hands[h] + "_cd", ridges, "rc_cd of " + palms[h] + ".", "As rc_cd."};
        c[at + 3] = {hands[h] + "_atd", "degrees", "atd of " + palms[h] + ".", "As atd."};
        c[at + 4] = {hands[h] + "_mli", "", "mli_a1d1 of " + palms[h] + ".", "As mli_a1d1."};
    }
    const QString sideMissing = "Empty where either side is.";
    for (int d = 0; d < 5; ++d) {
        const QString digit = QString::number(d + 1);
        const int at = SubjectDigitAsymmetry + 2 * d;
        c[at] = {"d" + digit + "_rc_diff", ridges,
                 "R" + digit + "_rc_max - L" + digit + "_rc_max.", sideMissing};
        c[at + 1] = {"d" + digit + "_rc_absdiff", ridges, "|R" + digit + "_rc_max - L" + digit
                     + "_rc_max|.", sideMissing};
    }
    c[SubjectAbDiff] = {"ab_diff", ridges, "right_ab - left_ab.", sideMissing};
    c[SubjectAbAbsDiff] = {"ab_absdiff", ridges, "|right_ab - left_ab|.", sideMissing};
    c[SubjectAtdDiff] = {"atd_diff", "degrees", "right_atd - left_atd, two decimals.",
                         sideMissing};
    c[SubjectAtdAbsDiff] = {"atd_absdiff", "degrees", "|right_atd - left_atd|.", sideMissing};
    c[SubjectTrcDiff] = {"trc_diff", ridges, "right_trc - left_trc.", sideMissing};
    c[SubjectTrcAbsDiff] = {"trc_absdiff", ridges, "|right_trc - left_trc|.", sideMissing};
    c[SubjectPatternsDiffering] = {"patterns_differing", count,
                                   "Digits whose pattern type on the right hand is not the "
                                   "one on the left (R1 and L1, ..., R5 and L5), 0 to 5.",
                                   allClassified};
    return c;
}

QVector<Column> agreementTable()
{
    const QString measured = "Empty for a category (pattern, line_*) and without pairs.";
    const QString twoPairs = "Empty for a category and with fewer than two pairs.";
    const QString correlation =
        "Empty for a category, with fewer than two pairs and where no value differs from "
        "another (0/0).";
    const QString category = "Empty for a measurement and without pairs.";
    QVector<Column> c(AgreementCount);
    c[AgreementTrait] = {"trait", "",
                         "What the examiners are compared on: a column of the print table "
                         "(pattern, rc_max, rc_radial, rc_ulnar, core1_crease_mm, "
                         "core2_crease_mm, triradius1_crease_mm, triradius2_crease_mm, rc_ab, "
                         "rc_bc, rc_cd, atd) or of the set table (tfrc, afrc), or a palm's main "
                         "line D, C, B, A or T (line_d ... line_t: its termination as "
                         "palm_formula writes it).",
                         "One row for each trait and slot, in this order, whether or not any "
                         "set has it. rc_max counts 0 for an annotated finger without a "
                         "core-triradius line, as in tfrc; a main line counts once answered."};
    c[AgreementSlot] = {"slot", "",
                        "The print, L1 to RPalm; L1-R5 for the patterns of all ten fingers "
                        "together.", "Empty for tfrc and afrc."};
    c[AgreementPairs] = {"pairs", count,
                         "Paired sets in which both examiners have a value (for L1-R5, paired "
                         "fingers).", ""};
    c[AgreementMeanA] = {"mean_a", "as the trait",
                         "Mean of the first examiner's values (the sets of A), three decimals "
                         "as all statistics here.", measured};
    c[AgreementMeanB] = {"mean_b", "as the trait", "Mean of the second examiner's values (B).",
                         measured};
    c[AgreementMeanDifference] = {"mean_diff", "as the trait", "Mean of d = A - B.", measured};
    c[AgreementSdDifference] = {"sd_diff", "as the trait",
                                "Standard deviation of d (n - 1 in the denominator).",
                                twoPairs};
    c[AgreementTem] = {"tem", "as the trait",
                       "Technical error of measurement, sqrt(sum d^2 / 2n) over n pairs.",
                       measured};
    c[AgreementRelativeTem] = {"rel_tem_pct", "%",
                               "tem in percent of the mean of both examiners' values.",
                               measured + " Empty where that mean is 0."};
    c[AgreementIcc21] = {"icc21", "",
                         "ICC(2,1) of Shrout and Fleiss (1979): absolute agreement of single "
                         "values, the examiners taken as drawn from many; an offset between "
                         "them lowers it.", correlation};
    c[AgreementIcc21Lower] = {"icc21_lower", "",
                              "Lower bound of the 95 % confidence interval of icc21, from the "
                              "F distribution with Satterthwaite's degrees of freedom.",
                              correlation};
    c[AgreementIcc21Upper] = {"icc21_upper", "", "Upper bound of that interval.", correlation};
    c[AgreementIcc31] = {"icc31", "",
                         "ICC(3,1): consistency of single values, the examiners fixed; an "
                         "offset between them does not lower it.", correlation};
    c[AgreementIcc31Lower] = {"icc31_lower", "",
                              "Lower bound of the 95 % confidence interval of icc31, from the "
                              "F distribution.", correlation};
    c[AgreementIcc31Upper] = {"icc31_upper", "", "Upper bound of that interval.", correlation};
    c[AgreementShare] = {"share_agreeing", "0 to 1",
                         "Share of the pairs in which both examiners chose the same.",
                         category};
    c[AgreementKappa] = {"kappa", "",
                         "Cohen's kappa: (observed - expected agreement) / (1 - expected), "
                         "expected from each examiner's own shares of the categories.",
                         category + " Empty where both examiners always chose one and the "
                         "same."};
    return c;
}

QVector<Column> pairTable()
{
    QVector<Column> c(PairCount);
    c[PairSubject] = {"subject", "",
                      "The subject the pair is of: A's identifier, else B's. Sets pair by "
                      "subject where both give one, else by file name.",
                      "Empty where neither set gives one."};
    c[PairSetA] = {"set_a", "", "The first examiner's set as named on the command line.", ""};
    c[PairSetB] = {"set_b", "", "The second examiner's set.", ""};
    c[PairSlot] = {"slot", "", "The print, L1 to RPalm.", "Empty for tfrc and afrc."};
    c[PairTrait] = {"trait", "",
                    "A trait of the agreement table, or a landmark both examiners placed: "
                    "core1, core2, triradius1, triradius2 (A's, left to right as A shows the "
                    "print, each paired with B's nearest of its kind on the scan) or a palm "
                    "triradius by name (triradius_a, triradius_t1, ...).",
                    "A trait has a row where either examiner has a value. Prints come in slot "
                    "order, each with its traits, then its landmarks."};
    c[PairValueA] = {"value_a", "as the trait", "A's value.",
                     "Empty where A has none, and for a landmark."};
    c[PairValueB] = {"value_b", "as the trait", "B's value.",
                     "Empty where B has none, and for a landmark."};
    c[PairDifference] = {"difference", "as the trait", "value_a - value_b.",
                         "Only where both are numbers."};
    c[PairDistance] = {"distance_mm", millimetres,
                       "How far apart the examiners put the landmark on the scan, three "
                       "decimals; each print's crop, turn and mirror are undone first.",
                       "Needs both resolutions of both prints, and scans of one size where "
                       "both sets give it; empty otherwise."};
    return c;
}

QString line(const QStringList& cells)
{
    return "| " + cells.join(" | ") + " |\n";
}

}

const QVector<Column>& prints()
{
    static const QVector<Column> table = printTable();
    return table;
}

const QVector<Column>& summaries()
{
    static const QVector<Column> table = summaryTable();
    return table;
}

const QVector<Column>& subjects()
{
    static const QVector<Column> table = subjectTable();
    return table;
}

const QVector<Column>& agreement()
{
    static const QVector<Column> table = agreementTable();
    return table;
}

const QVector<Column>& pairs()
{
    static const QVector<Column> table = pairTable();
    return table;
}

QStringList names(const QVector<Column>& table)
{
    QStringList list;
    for (const Column& c : table)
        list.append(c.name);
    return list;
}

QString dictionary()
{
    QString text = line({"column", "table", "unit", "meaning", "rule"})
                   + line({"---", "---", "---", "---", "---"});
    const QPair<QString, const QVector<Column>*> tables[] = {
        {"prints", &prints()}, {"sets", &summaries()}, {"subjects", &subjects()},
        {"agreement", &agreement()}, {"pairs", &pairs()}};
    for (const auto& table : tables)
        for (const Column& c : *table.second)
            text += line({c.name, table.first, c.unit, c.meaning, c.rule});
    return text;
}

}

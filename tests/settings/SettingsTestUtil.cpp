#include "SettingsTestUtil.h"

namespace {

QString Hex(TColor c) {
    return QStringLiteral("%1").arg(c, 8, 16, QChar(u'0'));
}

QString B(bool b) {
    return b ? "1" : "0";
}

} // namespace

QString Describe(const TViewerSettings& s) {
    QStringList l;
    l << "defdir=" + s.defdir << "unit=" + QString::number(s.unit) << "cf=" + Hex(s.cf)
      << "motif=" + s.motif << "bmotif=" + B(s.bmotif)
      << QStringLiteral("cadre=%1,%2").arg(Hex(s.cadre.colour)).arg(s.cadre.width)
      << "bcadre=" + B(s.bcadre) << "bombre=" + B(s.bombre) << "b3d=" + B(s.b3d)
      << "brayures=" + B(s.brayures) << "zoom=" + QString::number(s.zoom)
      << "breduction=" + B(s.breduction) << "boptimiserz=" + B(s.boptimiserz)
      << "vtaille=" + QString::number(s.vtaille) << "bva=" + B(s.bva)
      << "delai=" + QString::number(s.delai) << "bboucler=" + B(s.bboucler)
      << "bquitter=" + B(s.bquitter) << "bsa=" + B(s.bsa) << "bss=" + B(s.bss)
      << "fluidite=" + QString::number(s.fluidite) << "teinte=" + QString::number(s.teinte)
      << "reglage=" + QString::number(s.reglage) << "bflou=" + B(s.bflou);
    l << (s.region ? QStringLiteral("region=%1,%2,%3,%4")
                         .arg(s.region->Left)
                         .arg(s.region->Top)
                         .arg(s.region->Right)
                         .arg(s.region->Bottom)
                   : QStringLiteral("region=none"));
    l << "pe=" + B(s.pe) << "bagrandir=" + B(s.bagrandir) << "lk=" + s.lk
      << "rotation=" + QString::number(s.rotation) << "bcmt=" + B(s.bcmt)
      << "tcmt=" + QString::number(s.tcmt) << "ccmt=" + Hex(s.ccmt)
      << "pcmt=" + QString::number(s.pcmt)
      << "scmt=" + B(s.scmt.bold) + B(s.scmt.italic) + B(s.scmt.underline)
      << "scmtnf=" + B(s.scmtnf) << "bcouleurs=" + B(s.bcouleurs) << "cdir=" + s.cdir
      << "startupPattern=" + s.startupPattern << "patternSwitchedOff=" + B(s.patternSwitchedOff);
    return l.join(u'\n');
}

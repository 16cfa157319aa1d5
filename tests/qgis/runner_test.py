"""The plugin's runner inside QGIS's own Python: the progress of a merge reaches the feedback, QGIS
reads what it wrote, and a cancel halfway leaves an existing output as it was (status 130).

python3 runner_test.py, with CONFLUX_QGIS_PLUGINS (the build tree's plugin folder) and
CONFLUX_EXECUTABLE set; exits 77 (skipped) where QGIS's Python is not installed."""

import hashlib
import os
import struct
import sys
import tempfile
import unittest
from pathlib import Path

try:
    from qgis.core import QgsApplication, QgsProcessingFeedback, QgsVectorLayer
except ImportError:
    sys.exit(77)

sys.path.insert(0, os.environ["CONFLUX_QGIS_PLUGINS"])
from conflux.runner import Run  # noqa: E402

POINTS = 400_000
WGS84 = ('GEOGCS["GCS_WGS_1984",DATUM["D_WGS_1984",SPHEROID["WGS_1984",6378137.0,'
         '298.257223563]],PRIMEM["Greenwich",0.0],UNIT["Degree",0.0174532925199433]]')


def many_points(base, count):
    """`count` points with an ID, written as bytes: far quicker than any writer."""
    def header(words):
        return (struct.pack(">7i", 9994, 0, 0, 0, 0, 0, words) + struct.pack("<2i", 1000, 1)
                + struct.pack("<8d", 0, 0, count, 1, 0, 0, 0, 0))
    records = b"".join(struct.pack(">2i", i + 1, 10) + struct.pack("<i2d", 1, i * 1e-4, 1)
                       for i in range(count))
    index = b"".join(struct.pack(">2i", 50 + 14 * i, 10) for i in range(count))
    Path(f"{base}.shp").write_bytes(header(50 + 14 * count) + records)
    Path(f"{base}.shx").write_bytes(header(50 + 4 * count) + index)
    table = (struct.pack("<4BIHH20x", 3, 126, 1, 1, count, 65, 10)
             + b"ID".ljust(11, b"\0") + b"N" + bytes(4) + bytes([9, 0]) + bytes(14) + b"\r")
    rows = b"".join(b" " + str(i).rjust(9).encode() for i in range(count))
    Path(f"{base}.dbf").write_bytes(table + rows + b"\x1a")
    Path(f"{base}.prj").write_text(WGS84)


def digest(folder):
    return {p.name: hashlib.sha256(p.read_bytes()).hexdigest() for p in Path(folder).iterdir()}


class Feedback(QgsProcessingFeedback):
    """Records the progress; cancels once it reaches `cancel_at`."""

    def __init__(self, cancel_at=None):
        super().__init__()
        self.cancel_at, self.seen = cancel_at, []

    def setProgress(self, progress):  # noqa: N802 (QGIS's name)
        self.seen.append(progress)
        super().setProgress(progress)
        if self.cancel_at is not None and progress >= self.cancel_at:
            self.cancel()


class RunnerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        os.environ["QGIS_CUSTOM_CONFIG_PATH"] = cls.folder.name  # never the user's profile
        cls.qgis = QgsApplication([], False)
        cls.qgis.initQgis()
        cls.root, cls.out = Path(cls.folder.name, "sheets"), Path(cls.folder.name, "out")
        cls.root.mkdir()
        cls.out.mkdir()
        many_points(cls.root / "wells", POINTS)

    @classmethod
    def tearDownClass(cls):
        cls.qgis.exitQgis()
        cls.folder.cleanup()

    def merge(self, feedback, *extra):
        return Run(["merge", str(self.root), "--kind", "point", "--out", str(self.out),
                    "--name", "wells", "--progress", *extra], feedback)

    def test_progress_reaches_the_feedback_and_qgis_reads_the_output(self):
        feedback = Feedback()
        run = self.merge(feedback, "--yes")
        self.assertEqual(run.status, 0, run.messages)
        self.assertEqual(feedback.seen, sorted(feedback.seen))
        self.assertGreater(len(feedback.seen), 10)
        self.assertEqual(feedback.seen[-1], 100)
        self.assertNotIn("...", run.messages)
        layer = QgsVectorLayer(str(self.out / "wells.shp"), "wells", "ogr")
        self.assertTrue(layer.isValid())
        self.assertEqual(layer.featureCount(), POINTS)
        self.assertEqual(layer.fields().names(), ["ID"])
        self.assertEqual(layer.crs().authid(), "EPSG:4326")

    def test_a_cancel_halfway_leaves_the_output_as_it_was(self):
        self.assertEqual(self.merge(Feedback(), "--yes").status, 0)
        before = digest(self.out)
        feedback = Feedback(cancel_at=30)
        run = self.merge(feedback, "--yes")
        self.assertEqual(run.status, 130, run.messages)
        self.assertLess(feedback.seen[-1], 100)
        self.assertIn("Interrupted: nothing was written.", run.messages)
        self.assertEqual(digest(self.out), before)


if __name__ == "__main__":
    unittest.main()

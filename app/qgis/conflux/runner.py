"""Runs the conflux command line for an algorithm: finds the program, turns its progress
(--progress, GDAL's "0...10...20...") into the algorithm's and a cancel into SIGTERM, and a
failure into a QgsProcessingException with the command's own message."""

import os
import re
import shutil
import signal
import subprocess
import threading
from pathlib import Path

from qgis.core import QgsProcessingException

# GDAL's progress line, written as the work goes: "0...10...20...30" is 30 per cent, each "."
# and each number after the first a step of 2.5 per cent. A message in between ends the line;
# the progress goes on in a line of its own ("...40...50").
PROGRESS_PIECE = re.compile(r"[\d.]+(?: - done\.)?")
PROGRESS_STEP = re.compile(r"\d+|\.")
INTERRUPTED = 130


def executable():
    """conflux beside the plugin's install prefix (the plugin lies in
    PREFIX/share/qgis/python/plugins/conflux), else on the PATH; CONFLUX_EXECUTABLE names
    another."""
    given = os.environ.get("CONFLUX_EXECUTABLE")
    if given:
        return given
    here = Path(__file__).resolve().parent
    if len(here.parents) > 4:
        beside = here.parents[4] / "bin" / "conflux"
        if beside.is_file() and os.access(beside, os.X_OK):
            return str(beside)
    found = shutil.which("conflux")
    if found:
        return found
    raise QgsProcessingException(
        "The conflux program was found neither beside the plugin nor on the PATH: install the "
        "conflux package (or set CONFLUX_EXECUTABLE to the program)")


class Run:
    """One run of conflux; `status`, `output` (standard output) and `messages` (standard error
    without the progress) once finished."""

    def __init__(self, arguments, feedback, environment=None):
        self.feedback = feedback
        self.status, self.output, self.messages = None, "", ""
        self._steps = 0
        self._process = subprocess.Popen(
            [executable(), *arguments], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
            env={**os.environ, **(environment or {})})
        readers = [threading.Thread(target=self._read_output),
                   threading.Thread(target=self._read_messages)]
        for reader in readers:
            reader.start()
        while True:
            try:
                self.status = self._process.wait(timeout=0.1)
                break
            except subprocess.TimeoutExpired:
                if feedback.isCanceled():
                    self._process.send_signal(signal.SIGTERM)  # the run leaves what it wrote
        for reader in readers:
            reader.join()
        self._process.stdout.close()
        self._process.stderr.close()

    def _read_output(self):
        self.output = self._process.stdout.read().decode("utf-8", "replace")

    def _read_messages(self):
        """Progress steps go to the feedback as they come; every other line is kept."""
        text, progress = b"", ""  # the line being read; the progress of the lines before
        while chunk := self._process.stderr.read1(4096):
            text += chunk
            while True:
                line, newline, rest = text.partition(b"\n")
                line = line.decode("utf-8", "replace")
                piece = PROGRESS_PIECE.fullmatch(line) is not None
                if piece:
                    self._progress(progress + line)
                if not newline:
                    break
                if piece:
                    progress += line
                else:
                    self.messages += line + "\n"
                text = rest
        self.messages += text.decode("utf-8", "replace")

    def _progress(self, text):
        steps = len(PROGRESS_STEP.findall(text.split(" - ")[0])) - 1
        if steps > self._steps:
            self._steps = steps
            self.feedback.setProgress(min(100.0, 2.5 * steps))

    def check(self):
        """Raises the command's own message when it failed or was cancelled."""
        if self.status == INTERRUPTED:
            raise QgsProcessingException("Cancelled: " + (self.messages.strip() or
                                                          "nothing was written"))
        if self.status != 0:
            raise QgsProcessingException(self.messages.strip() or self.output.strip()
                                         or f"conflux ended with status {self.status}")

"""The drivers of scripts/scite_run.py, one module a SciTE (wine.py, gtk.py), and what they share
(driver.py: the interface they implement, the X display, the polling)."""

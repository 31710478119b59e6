#!/usr/bin/python3
"""Helpers of scripts/compare-peers.sh: DEM export and statistics.

Needs Debian's python3-numpy and python3-gdal (run with /usr/bin/python3).

  compare_peers.py dem TERRAIN.hrz OUT.tif
      The heights of a terrain file as a north-up Float32 GeoTIFF DEM in metres:
      with the georeference of TERRAIN.hrz.json when there is one, otherwise
      cells of 1 m in UTM zone 32N, centred on its central meridian (grid north
      is true north there) with the southern edge at northing 5000000 m: GRASS's
      r.horizon refuses a location without a coordinate system.
  compare_peers.py placed TERRAIN.hrz CELL EPSG EASTING NORTHING OUT.tif
      The heights of a terrain file as a DEM of CELL-metre cells (heights
      CELL times the grid spacings) in the projected coordinate system EPSG,
      centred on EASTING, NORTHING.
  compare_peers.py azimuths HALVANE.tif
      The AZIMUTH_CCW_FROM_EAST of every band of Halvane's horizon raster (the
      band's true bearing as r.horizon takes directions), one a line.
  compare_peers.py jacksboro OUT.tif
      The 3 arc-second USGS DEM of the Jacksboro fault (Tennessee) shipped in
      Debian's python-matplotlib-data, as a GeoTIFF in WGS 84 degrees.
  compare_peers.py horizons HALVANE.tif MARGIN PEER_1.tif ... PEER_n.tif
      Halvane's horizon raster (band j: direction j) against one peer raster
      per direction, in degrees; prints the differences.
  compare_peers.py horizons-pair MARGIN FOLDER_A FOLDER_B
      Two folders of one-band horizon rasters (r.horizon's, hor_*.tif), A minus B.
  compare_peers.py bands-pair MARGIN HALVANE_A.tif HALVANE_B.tif
      Two of Halvane's horizon rasters of one DEM, A minus B.
  compare_peers.py curvature-pair MARGIN HALVANE_A.tif HALVANE_B.tif FOLDER_A FOLDER_B
      What the curvature does in each tool, against each other: Halvane's A
      minus B (two horizon rasters of one DEM, band j direction j) minus the
      peer's A minus B (two folders of one-band rasters, hor_*.tif).
  compare_peers.py svf HALVANE.tif PEER.tif MARGIN [SCALE]
      Two one-band rasters (the peer's values times SCALE); prints the differences.
  compare_peers.py reference DEM.tif CELLS MARGIN HALVANE.tif PEER_1.tif ... PEER_n.tif
      Both horizon rasters against a reference march at CELLS cells drawn at
      random (seed 1) at least MARGIN cells from the edges: the DEM read as a
      bilinear surface, sampled every 0.1 cell up to 4 cells away and every 0.5
      cell beyond, to the grid's edge, without earth curvature; once from 0.1
      cell on, once from the first cell boundary on (beyond the sub-cell
      terrain that neither tool samples alike).
  compare_peers.py scene plane|vee SIZE DEGREES OUT.tif
      A scene with known answers, SIZE x SIZE cells of 1 m in UTM zone 32N: a
      plane rising northwards at DEGREES, or a valley running north-south whose
      walls rise at DEGREES from its floor (the middle column).
  compare_peers.py plane DEGREES MARGIN HALVANE.tif PEER_1.tif ... PEER_n.tif
      Horizons on the plane scene against the exact atan(tan S sin a), a the
      azimuth counter-clockwise from east.
  compare_peers.py constant VALUE MARGIN RASTER...
      One-band rasters against a constant (the sky-view factor of the plane).
  compare_peers.py centre RASTER...
      The value of each raster's centre cell (the floor of the valley scene).
  compare_peers.py scale DEM.tif FACTOR OUT.tif
      The DEM with its cells and heights both FACTOR times as large, about its
      centre: the same angles, but earth curvature FACTOR times as strong.

Differences are Halvane minus peer over the cells at least MARGIN cells from
every edge, with both values valid: the median (signed), and the median,
99th percentile and maximum of their absolute values.
"""
import json
import os
import struct
import sys

import numpy as np
from osgeo import gdal, osr

gdal.UseExceptions()


def read_terrain_heights(path):
    with open(path, "rb") as f:
        header = f.read(14)
        size_x, size_y, _ = struct.unpack("<iii", header[2:14])
        heights = np.frombuffer(f.read(4 * size_x * size_y), dtype="<f4").reshape(size_x, size_y)
    return heights


def north_up(grid):
    """Terrain order (first index east, second north) to raster rows north to south."""
    return np.ascontiguousarray(grid.T[::-1, :])


def write_tif(path, raster, geotransform, wkt, nodata=None):
    rows, cols = raster.shape
    ds = gdal.GetDriverByName("GTiff").Create(path, cols, rows, 1, gdal.GDT_Float32, ["COMPRESS=DEFLATE"])
    ds.SetGeoTransform(geotransform)
    if wkt:
        ds.SetProjection(wkt)
    band = ds.GetRasterBand(1)
    if nodata is not None:
        band.SetNoDataValue(nodata)
    band.WriteArray(raster.astype(np.float32))
    ds = None


def export_dem(terrain, out):
    heights = read_terrain_heights(terrain)
    meta = terrain + ".json"
    if os.path.exists(meta):
        with open(meta) as f:
            geo = json.load(f)
        cell, gt, wkt = geo["cellSize"], geo["geoTransform"], geo["coordinateSystem"]
    else:
        cell, wkt = 1.0, utm32()
        gt = [500000.0 - heights.shape[0] / 2, 1.0, 0.0, 5000000.0 + heights.shape[1], 0.0, -1.0]
    write_tif(out, north_up(heights) * cell, gt, wkt)


def export_placed(terrain, cell, epsg, easting, northing, out):
    heights = read_terrain_heights(terrain)
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(epsg)
    gt = [easting - heights.shape[0] * cell / 2, cell, 0.0, northing + heights.shape[1] * cell / 2, 0.0, -cell]
    write_tif(out, north_up(heights) * cell, gt, srs.ExportToWkt())


def print_azimuths(halvane):
    ds = gdal.Open(halvane)
    for k in range(1, ds.RasterCount + 1):
        print(ds.GetRasterBand(k).GetMetadataItem("AZIMUTH_CCW_FROM_EAST"))


def export_jacksboro(out):
    data = np.load("/usr/share/matplotlib/mpl-data/sample_data/jacksboro_fault_dem.npz")
    elevation = data["elevation"].astype(np.float32)
    # The first row is the northern edge (the file's "ymin" is its northern latitude).
    north = max(float(data["ymin"]), float(data["ymax"]))
    gt = [float(data["xmin"]), float(data["dx"]), 0.0, north, 0.0, -float(data["dy"])]
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(4326)
    write_tif(out, elevation, gt, srs.ExportToWkt())


def band_array(path, band=1):
    ds = gdal.Open(path)
    b = ds.GetRasterBand(band)
    values = b.ReadAsArray().astype(np.float64)
    nodata = b.GetNoDataValue()
    if nodata is not None:
        values[values == nodata] = np.nan
    return values


def inner(values, margin):
    return values[margin:values.shape[0] - margin, margin:values.shape[1] - margin]


def statistics(differences):
    d = differences[np.isfinite(differences)]
    a = np.abs(d)
    return "median %+.4f  |d| median %.4f  p99 %.4f  max %.4f  (%d values)" % (
        np.median(d), np.median(a), np.percentile(a, 99), a.max(), d.size)


def compare_horizons(halvane, margin, peers):
    ds = gdal.Open(halvane)
    if ds.RasterCount != len(peers):
        sys.exit("compare_peers.py: %s has %d bands, but %d peer rasters were given" %
                 (halvane, ds.RasterCount, len(peers)))
    differences = []
    for j, peer in enumerate(peers):
        differences.append(inner(band_array(halvane, j + 1) - band_array(peer), margin))
    print("horizon angle (degrees): " + statistics(np.concatenate([d.ravel() for d in differences])))


def compare_svf(halvane, peer, margin, scale):
    print("sky-view factor: " + statistics(inner(band_array(halvane) - scale * band_array(peer), margin).ravel()))


def dense_horizons(dem, rows, cols, azimuth_degrees, beyond_first_cell=False):
    """Horizon angles (degrees) at the given cells of a DEM whose heights are
    in cell sizes, towards an azimuth counter-clockwise from east (north up)."""
    a = np.radians(azimuth_degrees)
    dx, dy = np.cos(a), -np.sin(a)  # raster rows run south
    z0 = dem[rows, cols]
    best = np.full(rows.shape, -np.inf)
    height, width = dem.shape
    t = 1 / max(abs(dx), abs(dy)) + 1e-9 if beyond_first_cell else 0.1
    active = np.ones(rows.shape, bool)
    while active.any():
        x = cols + t * dx
        y = rows + t * dy
        active &= (x >= 0) & (y >= 0) & (x <= width - 1) & (y <= height - 1)
        xc = np.clip(x, 0, width - 1.000001)
        yc = np.clip(y, 0, height - 1.000001)
        x0 = np.floor(xc).astype(int)
        y0 = np.floor(yc).astype(int)
        fx, fy = xc - x0, yc - y0
        z = (dem[y0, x0] * (1 - fx) * (1 - fy) + dem[y0, x0 + 1] * fx * (1 - fy) +
             dem[y0 + 1, x0] * (1 - fx) * fy + dem[y0 + 1, x0 + 1] * fx * fy)
        best = np.where(active, np.maximum(best, (z - z0) / t), best)
        t += 0.1 if t < 4 else 0.5
    return np.degrees(np.arctan(best))


def compare_reference(dem_file, cells, margin, halvane, peers):
    ds = gdal.Open(dem_file)
    cell = ds.GetGeoTransform()[1]
    dem = band_array(dem_file) / cell
    rng = np.random.default_rng(1)
    rows = rng.integers(margin, dem.shape[0] - margin, cells)
    cols = rng.integers(margin, dem.shape[1] - margin, cells)
    n = len(peers)
    halvane_bands = [band_array(halvane, j + 1)[rows, cols] for j in range(n)]
    peer_bands = [band_array(peer)[rows, cols] for peer in peers]
    for beyond, what in ((False, "whole ray"), (True, "from the first cell boundary")):
        ours, theirs = [], []
        for j in range(n):
            reference = dense_horizons(dem, rows, cols, (j + 0.5) * 360.0 / n, beyond)
            ours.append(halvane_bands[j] - reference)
            theirs.append(peer_bands[j] - reference)
        print("reference march, %s:" % what)
        print("  Halvane - reference: " + statistics(np.concatenate(ours)))
        print("  peer - reference:    " + statistics(np.concatenate(theirs)))


def scale_dem(dem_file, factor, out):
    ds = gdal.Open(dem_file)
    gt = list(ds.GetGeoTransform())
    # Shrunk about the raster's centre, so that the centre's meridian convergence stays.
    cx = gt[0] + gt[1] * ds.RasterXSize / 2
    cy = gt[3] + gt[5] * ds.RasterYSize / 2
    gt[0] = cx - (cx - gt[0]) * factor
    gt[3] = cy - (cy - gt[3]) * factor
    gt[1] *= factor
    gt[5] *= factor
    write_tif(out, band_array(dem_file) * factor, gt, ds.GetProjection())


def utm32():
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(32632)
    return srs.ExportToWkt()


def write_scene(kind, size, degrees, out):
    rows, cols = np.mgrid[0:size, 0:size]
    t = np.tan(np.radians(degrees))
    heights = (size - 1 - rows) * t if kind == "plane" else np.abs(cols - size // 2) * t
    write_tif(out, heights, [500000.0 - size / 2, 1.0, 0.0, 5000000.0 + size, 0.0, -1.0], utm32())


def compare_plane(degrees, margin, halvane, peers):
    n = len(peers)
    t = np.tan(np.radians(degrees))
    ours, theirs = [], []
    for j, peer in enumerate(peers):
        exact = np.degrees(np.arctan(t * np.sin(np.radians((j + 0.5) * 360.0 / n))))
        ours.append(inner(band_array(halvane, j + 1), margin).ravel() - exact)
        theirs.append(inner(band_array(peer), margin).ravel() - exact)
    print("  Halvane - exact: " + statistics(np.concatenate(ours)))
    print("  peer - exact:    " + statistics(np.concatenate(theirs)))


def main(argv):
    if len(argv) >= 3 and argv[0] == "dem":
        export_dem(argv[1], argv[2])
    elif len(argv) == 7 and argv[0] == "placed":
        export_placed(argv[1], float(argv[2]), int(argv[3]), float(argv[4]), float(argv[5]), argv[6])
    elif len(argv) == 2 and argv[0] == "azimuths":
        print_azimuths(argv[1])
    elif len(argv) == 2 and argv[0] == "jacksboro":
        export_jacksboro(argv[1])
    elif len(argv) >= 4 and argv[0] == "horizons":
        compare_horizons(argv[1], int(argv[2]), argv[3:])
    elif len(argv) == 4 and argv[0] == "horizons-pair":
        names = sorted(f for f in os.listdir(argv[2]) if f.startswith("hor_"))
        d = [inner(band_array(os.path.join(argv[2], f)) - band_array(os.path.join(argv[3], f)), int(argv[1])).ravel()
             for f in names]
        print(statistics(np.concatenate(d)))
    elif len(argv) == 4 and argv[0] == "bands-pair":
        count = gdal.Open(argv[2]).RasterCount
        d = [inner(band_array(argv[2], j) - band_array(argv[3], j), int(argv[1])).ravel() for j in range(1, count + 1)]
        print(statistics(np.concatenate(d)))
    elif len(argv) == 6 and argv[0] == "curvature-pair":
        margin = int(argv[1])
        names = sorted(f for f in os.listdir(argv[4]) if f.startswith("hor_"))
        d = [inner(band_array(argv[2], j + 1) - band_array(argv[3], j + 1)
                   - (band_array(os.path.join(argv[4], f)) - band_array(os.path.join(argv[5], f))), margin).ravel()
             for j, f in enumerate(names)]
        print(statistics(np.concatenate(d)))
    elif len(argv) >= 6 and argv[0] == "reference":
        compare_reference(argv[1], int(argv[2]), int(argv[3]), argv[4], argv[5:])
    elif len(argv) == 5 and argv[0] == "scene":
        write_scene(argv[1], int(argv[2]), float(argv[3]), argv[4])
    elif len(argv) >= 4 and argv[0] == "plane":
        compare_plane(float(argv[1]), int(argv[2]), argv[3], argv[4:])
    elif len(argv) >= 4 and argv[0] == "constant":
        for raster in argv[3:]:
            print("  %s - %s: %s" % (os.path.basename(raster), argv[1],
                                     statistics(inner(band_array(raster), int(argv[2])).ravel() - float(argv[1]))))
    elif len(argv) >= 2 and argv[0] == "centre":
        for raster in argv[1:]:
            values = band_array(raster)
            print("  %s: %.5f" % (os.path.basename(raster), values[values.shape[0] // 2, values.shape[1] // 2]))
    elif len(argv) == 4 and argv[0] == "scale":
        scale_dem(argv[1], float(argv[2]), argv[3])
    elif len(argv) in (4, 5) and argv[0] == "svf":
        compare_svf(argv[1], argv[2], int(argv[3]), float(argv[4]) if len(argv) == 5 else 1.0)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
